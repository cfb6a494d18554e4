#pragma once

#include <QString>

namespace ks3 {

// The per-instance files of the program's own settings folder: the settings
// file (settings/SettingsFile.h) and the window positions file
// (common/WindowPosition.h) are named here.

// Folder of the settings files, DossierProgramme + "Settings/KS3_Convert/";
// empty until NomDossierSettings has run.
QString& DossierSettings();

// Computes DossierSettings and creates it with its parents.
void NomDossierSettings();

// DossierSettings + "KS3_Tools_Convert" (+ "_" + NoInstance when not 0) +
// suffix + extension; computes DossierSettings first when it is blank.
// The settings file is NomFichierSettings("", ".Ini").
QString NomFichierSettings(const QString& suffix, const QString& extension);

} // namespace ks3
