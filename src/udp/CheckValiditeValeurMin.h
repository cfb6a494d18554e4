#pragma once

#include <cstdint>

namespace ks3 {

// Raises value to minimum when it is below it.
void CheckValiditeValeurMin(std::int32_t& value, std::int32_t minimum);

} // namespace ks3
