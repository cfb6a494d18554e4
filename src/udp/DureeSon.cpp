#include "udp/DureeSon.h"

#include <limits>

namespace ks3 {

namespace {

std::int64_t arrondiPair(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d;
    const std::int64_t r2 = 2 * (n % d);
    if (r2 > d || (r2 == d && (q % 2) != 0))
        ++q;
    return q;
}

} // namespace

DureeSon DureeDepuisTaille(std::int64_t T) {
    DureeSon r;
    const std::int64_t d = arrondiPair(T < 0 ? 0 : T, 32);
    r.millisecondes =
        static_cast<std::int32_t>(std::min<std::int64_t>(d, std::numeric_limits<std::int32_t>::max()));
    r.secondes = static_cast<std::int32_t>(arrondiPair(r.millisecondes, 1000));
    r.drapeau = r.millisecondes < 1001 ? QStringLiteral("N") : QStringLiteral("E");
    return r;
}

} // namespace ks3
