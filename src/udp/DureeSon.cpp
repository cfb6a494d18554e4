#include "udp/DureeSon.h"

#include "udp/ArrondiPair.h"

#include <algorithm>
#include <limits>

namespace ks3 {

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
