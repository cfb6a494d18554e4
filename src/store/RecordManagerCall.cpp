#include "store/RecordManagerCall.h"

#include "platform/Btrcall.h"

namespace ks3 {

namespace {
RecordManagerCall& current() {
    static RecordManagerCall c;
    return c;
}
} // namespace

std::int16_t callRecordManager(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                               std::uint32_t* dataLength, void* keyBuffer, std::uint16_t keyLength,
                               std::int16_t keyNumber) {
    if (current())
        return current()(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    return BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
}

void setRecordManagerCall(RecordManagerCall call) {
    current() = std::move(call);
}

} // namespace ks3
