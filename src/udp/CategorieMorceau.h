#pragma once

#include <QString>

namespace ks3 {

// The row of the station's sound-folder table for a song: its first three
// characters "JIN" 1, "LIN" 2, "RUB" 3, "INF" 4, "PRE" 5, "PUB" 6, "TMP" 7,
// "NUM" 8 (letter case counts), anything else 0.
int CategorieMorceau(const QString& song);

} // namespace ks3
