#include "store/RecordFiles.h"

#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "store/FichierPervasive.h"

namespace ks3 {

void PervasiveOuvertureFichiers(int base, int premiereStation, int nbStations) {
    Procedure p("FrmMain", "PervasiveOuvertureFichiers");
    p.step(10, [&] {
        if (!CatalogueTablesConstruit())
            InitGeneralData();
    });
    for (const int noFichier : FichiersOuvertsParLeProgramme)
        p.step(20, [&] { FichierPervasiveOuvrir(base, premiereStation, nbStations, noFichier, 0); });
    p.step(30, [&] { TraceLog(-1, -1, -1, QStringLiteral("Pervasive files opened")); });
}

void PervasiveFermetureFichiers(int base, int premiereStation, int nbStations) {
    Procedure p("FrmMain", "PervasiveFermetureFichiers");
    for (auto it = FichiersOuvertsParLeProgramme.rbegin(); it != FichiersOuvertsParLeProgramme.rend(); ++it)
        p.step(10, [&] { FichierPervasiveFermer(base, premiereStation, nbStations, *it); });
    p.step(20, [&] { TraceLog(-1, -1, -1, QStringLiteral("Pervasive files closed")); });
}

} // namespace ks3
