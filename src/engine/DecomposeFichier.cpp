#include "engine/DecomposeFichier.h"

namespace ks3 {

FichierDecompose& fichierDecompose() {
    static FichierDecompose r;
    return r;
}

FichierDecompose DecomposeFichier(const QString& path) {
    FichierDecompose& r = fichierDecompose();
    const QString p = path.trimmed();
    r.fichierDossier = p;
    r.fichierNom.clear();
    r.fichierExtension.clear();
    if (p.isEmpty())
        return r;
    qsizetype dot = -1;
    for (qsizetype i = p.size() - 1; i >= 0; --i) {
        const QChar c = p.at(i);
        if (c == QLatin1Char('.') && dot < 0) {
            dot = i;
            r.fichierExtension = p.mid(i);
        }
        if (c == QLatin1Char('/') || i == 0) {
            // Without any separator the whole text is the name.
            const qsizetype sep = c == QLatin1Char('/') ? i : -1;
            r.fichierDossier = p.left(sep + 1);
            const qsizetype nameEnd = dot >= 0 ? dot : p.size();
            r.fichierNom = p.mid(sep + 1, nameEnd - sep - 1);
            break;
        }
    }
    return r;
}

} // namespace ks3
