#pragma once

namespace ks3 {

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
