#include "settings/TypeLabel.h"

namespace ks3 {

QString motifsDuLibelle(const QString& libelle) {
    const qsizetype ouvre = libelle.indexOf(QLatin1Char('('));
    if (ouvre < 0)
        return QString();
    const qsizetype ferme = libelle.indexOf(QLatin1Char(')'), ouvre + 1);
    if (ferme < 0)
        return QString();
    QString m = libelle.mid(ouvre + 1, ferme - ouvre - 1);
    m.remove(QLatin1Char(' '));
    return m;
}

} // namespace ks3
