#pragma once

#include <QString>

namespace ks3 {

// The sound folders already verified (and created when missing) in this run,
// each followed by ",".
QString& DossiersSonVerifies();

// The station's sound folder of a category (0 to 8) and slot (0 to 9), ending
// with "/" (an empty entry stays empty), created with its missing levels the
// first time it is asked for in the run. A category or slot out of the table
// raises error 9.
QString DetermineDossierSon(int categorie, int slot);

} // namespace ks3
