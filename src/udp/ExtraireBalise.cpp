#include "udp/ExtraireBalise.h"

namespace ks3 {

QString ExtraireBalise(const QString& Texte, const QString& Balise) {
    if (Texte.trimmed().isEmpty() || Balise.isEmpty())
        return {};
    const qsizetype p = Texte.indexOf(Balise, 0, Qt::CaseInsensitive);
    if (p < 0)
        return {};
    const qsizetype q = Texte.indexOf(QLatin1Char('>'), p + 1);
    if (q < 0)
        return {};
    const qsizetype debut = p + Balise.size();
    // A ">" inside the tag itself leaves nothing between.
    return q > debut ? Texte.mid(debut, q - debut) : QString();
}

} // namespace ks3
