#pragma once

#include <QString>
#include <optional>

namespace ks3 {

// The number at the start of a text, as the suite reads numbers from its INI
// files and text boxes: leading blanks skipped, an optional sign, digits and one
// decimal point; no number reads as 0 ("12abc" is 12, "abc" is 0).
double leadingNumber(const QString& text);

// The same number rounded to an integer, halves to even (as an integer setting
// takes it); none when it does not fit an int.
std::optional<int> LeadingInteger(const QString& text);

} // namespace ks3
