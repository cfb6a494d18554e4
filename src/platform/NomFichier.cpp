#include "platform/NomFichier.h"

namespace ks3 {

bool NomFichierValide(const QString& path) {
    for (const QChar c : path) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('|'))
            return false;
    }
    return true;
}

} // namespace ks3
