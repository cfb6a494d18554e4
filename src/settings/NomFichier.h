#pragma once

#include <QString>

namespace ks3 {

// False when the path holds a wildcard or a character that no file name of the
// suite may contain ("*", "?", '"', "|"); such a path is never opened.
bool NomFichierValide(const QString& path);

// The folder of the per-instance files (settings, window positions), ending
// with "/"; empty until NomDossierSettings has run.
QString& DossierSettings();

// Sets DossierSettings to DossierProgramme + "Settings/KS3_Convert/" and creates it.
void NomDossierSettings();

// DossierSettings + "KS3_Tools_Convert" (+ "_" + NoInstance when not 0) + suffix
// + extension; computes DossierSettings first when it is still blank.
// NomFichierSettings("", ".Ini") is the settings file, ("_Positions", ".Ini")
// the window positions.
QString NomFichierSettings(const QString& suffix, const QString& extension);

} // namespace ks3
