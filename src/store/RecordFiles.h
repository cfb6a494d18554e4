#pragma once

#include "common/WorkingFolders.h"
#include "store/CatalogueTables.h"

namespace ks3 {

// Opens, at start-up, the nine record files this program uses: 20, 21, 22, 26,
// 29, 31, 37, 41 and 42 for stations premiereStation..nbStations (building the
// catalogue first if needed), then traces "Pervasive files opened".
void PervasiveOuvertureFichiers(int base, int premiereStation, int nbStations);

// Closes them at shutdown in the reverse order, then traces "Pervasive files
// closed".
void PervasiveFermetureFichiers(int base, int premiereStation, int nbStations);
inline void PervasiveFermetureFichiers() {
    PervasiveFermetureFichiers(0, 1, workingFolders().nbStation);
}

} // namespace ks3
