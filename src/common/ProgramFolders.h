#pragma once

#include <QString>

namespace ks3 {

// Sets the two folders of the program from its executable's path: the
// program's folder (DossierProgramme, where the converters are looked for),
// resolved through links so that /usr/bin/KS3_Tools_Convert finds the
// converters beside the real executable; and the data root (DataRoot.h).
void DeterminerDossiersProgramme(const QString& executablePath);

} // namespace ks3
