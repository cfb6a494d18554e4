#include "udp/CategorieMorceau.h"

namespace ks3 {

int CategorieMorceau(const QString& song) {
    static const char* const kPrefixes[] = {"JIN", "LIN", "RUB", "INF", "PRE", "PUB", "TMP", "NUM"};
    const QString debut = song.left(3);
    for (int i = 0; i < 8; ++i)
        if (debut == QLatin1String(kPrefixes[i]))
            return i + 1;
    return 0;
}

} // namespace ks3
