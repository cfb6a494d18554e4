#pragma once

#include <QString>
#include <functional>

namespace ks3 {

// Folder of the settings files, DossierProgramme + "Settings/KS3_Convert/";
// empty until NomDossierSettings has run.
QString& DossierSettings();

// Computes DossierSettings and creates it with its parents.
void NomDossierSettings();

// DossierSettings + "KS3_Tools_Convert" (+ "_" + NoInstance when not 0) +
// suffix + extension; computes DossierSettings first when it is blank.
// The settings file is NomFichierSettings("", ".Ini").
QString NomFichierSettings(const QString& suffix, const QString& extension);

// The working folders are computed first thing when the settings load. The
// start-up installs the computation (slot 0 of the working folders); until
// then loading uses the folders as they are.
void setInitDossiersTravail(std::function<void()> f);

// Loads every setting from the settings file into settings(), in the order
// where each value finds its list filled; a value its control cannot take is
// skipped. Never marks the settings modified, and clears SetupModifie.
void InitSettings();

// Writes every setting to the settings file, in one replacement of the file.
// Clears SetupModifie when every key was written; otherwise leaves it set (the
// changes are still offered for saving at shutdown), traces the failure and
// returns false.
bool SaveSettings();

} // namespace ks3
