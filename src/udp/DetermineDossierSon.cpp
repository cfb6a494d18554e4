#include "udp/DetermineDossierSon.h"

#include "common/ErrorRoutine.h"
#include "common/ProgramValues.h"
#include "settings/FolderTools.h"

namespace ks3 {

QString& DossiersSonVerifies() {
    static QString verifies;
    return verifies;
}

QString DetermineDossierSon(int categorie, int slot) {
    auto& table = programValues().dossiersSons;
    if (categorie < 0 || categorie >= static_cast<int>(table.size()) || slot < 0 ||
        slot >= static_cast<int>(table[0].size()))
        raiseError(9, QStringLiteral("Subscript out of range"));
    QString dossier = table[static_cast<std::size_t>(categorie)][static_cast<std::size_t>(slot)];
    if (!dossier.isEmpty() && !dossier.endsWith(QLatin1Char('/')))
        dossier += QLatin1Char('/');
    if (!DossiersSonVerifies().contains(dossier + QLatin1Char(','))) {
        if (!dossier.isEmpty())
            VerificationEtCreationRepertoire(dossier, true);
        DossiersSonVerifies() += dossier + QLatin1Char(',');
    }
    return dossier;
}

} // namespace ks3
