#pragma once

#include <QString>
#include <cstdint>

namespace ks3 {

// The durations of a delivered sound of T bytes in the suite's 256 kbit/s
// stream: D = T / 32 milliseconds and S = D / 1000 seconds (both rounded,
// halves to even), and the flag "N" up to 1000 ms, "E" above.
struct DureeSon {
    std::int32_t millisecondes = 0;
    std::int32_t secondes = 0;
    QString drapeau;
};
DureeSon DureeDepuisTaille(std::int64_t T);

} // namespace ks3
