#include "udp/CheckValiditeValeurMin.h"

namespace ks3 {

void CheckValiditeValeurMin(std::int32_t& value, std::int32_t minimum) {
    if (value < minimum)
        value = minimum;
}

} // namespace ks3
