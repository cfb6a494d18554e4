#pragma once

#include <QString>

namespace ks3 {

// The number at the start of a text, as the suite reads numbers from its INI
// files and text boxes: leading blanks skipped, an optional sign, digits and one
// decimal point; no number reads as 0 ("12abc" is 12, "abc" is 0).
double leadingNumber(const QString& text);

} // namespace ks3
