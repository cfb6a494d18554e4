#include "store/RecordManagerCall.h"

#include "platform/Btrcall.h"
#include "store/StoreServices.h"

namespace ks3 {

std::int16_t callRecordManager(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                               std::uint32_t* dataLength, void* keyBuffer, std::uint16_t keyLength,
                               std::int16_t keyNumber) {
    if (const RecordManagerCall& call = storeServices().recordManagerCall)
        return call(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    return BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
}

} // namespace ks3
