#pragma once

#include <QString>

namespace ks3 {

// Removes leading and trailing spaces only, as the suite's own trimming does:
// tabs and line ends are part of the text.
QString trimSpaces(const QString& s);

} // namespace ks3
