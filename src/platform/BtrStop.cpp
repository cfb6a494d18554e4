#include "platform/BtrStop.h"

#include "platform/Btrcall.h"

#include <cstring>

namespace ks3::btr {

std::int16_t stopRecordManager() {
    PositionBlock block;
    std::memset(block.bytes, ' ', sizeof block.bytes);
    char data[1] = {0};
    std::uint32_t length = 0;
    char key[255] = {0};
    return BTRCALL(OpStop, &block, data, &length, key, 255, 0);
}

} // namespace ks3::btr
