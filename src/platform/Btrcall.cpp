#include "platform/Btrcall.h"

#include "platform/BtrRecordManager.h"

namespace ks3 {

std::int16_t BTRCALL(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                     std::uint32_t* dataLength, void* keyBuffer, std::uint16_t keyLength,
                     std::int16_t keyNumber) {
    return btr::RecordManager::instance().call(operation, static_cast<btr::PositionBlock*>(positionBlock),
                                               static_cast<unsigned char*>(dataBuffer), dataLength,
                                               static_cast<unsigned char*>(keyBuffer), keyLength, keyNumber);
}

} // namespace ks3
