#pragma once

#include <cstdint>

namespace ks3 {

// n / d rounded to the nearest integer, halves to even (n >= 0, d > 0), as the
// suite's whole-number rounding does: 5/2 gives 2, 7/2 gives 4.
std::int64_t arrondiPair(std::int64_t n, std::int64_t d);

} // namespace ks3
