#include "common/ProgramValues.h"

namespace ks3 {

ProgramValues& programValues() {
    static ProgramValues v;
    return v;
}

QString DossierDonnees() {
    const ProgramValues& v = programValues();
    return v.dossierDonnees.isEmpty() ? v.dossierProgramme : v.dossierDonnees;
}

} // namespace ks3
