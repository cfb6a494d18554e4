#include "udp/ArrondiPair.h"

namespace ks3 {

std::int64_t arrondiPair(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d;
    const std::int64_t r2 = 2 * (n % d);
    if (r2 > d || (r2 == d && (q % 2) != 0))
        ++q;
    return q;
}

} // namespace ks3
