#pragma once

#include <QString>

namespace ks3 {

// False when the path holds a wildcard or a character that no file name of the
// suite may contain ("*", "?", '"', "|"); such a path is never opened.
bool NomFichierValide(const QString& path);

} // namespace ks3
