#pragma once

#include <QString>
#include <functional>

namespace ks3 {

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
