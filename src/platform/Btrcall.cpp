#include "platform/Btrcall.h"

namespace ks3 {

// First cut: the manager answers that it is not running, so callers can be
// built against the call while the record files are written.
std::int16_t BTRCALL(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint16_t, std::int16_t) {
    return btr::StatusManagerInactive;
}

} // namespace ks3
