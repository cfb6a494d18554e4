#include "udp/CodeMorceauValide.h"

namespace ks3 {

bool CodeMorceauValide(const QString& song) {
    if (song.contains(QLatin1String("..")))
        return false;
    static const QString interdits = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : song) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            return false;
        if (interdits.contains(c))
            return false;
    }
    return true;
}

} // namespace ks3
