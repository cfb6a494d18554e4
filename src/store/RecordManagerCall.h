#pragma once

#include <cstdint>
#include <functional>

namespace ks3 {

// The record manager as the layer calls it: BTRCALL, unless the services put
// something in front of it (StoreServices::recordManagerCall: a test sees the
// calls, or answers a status that only another program could provoke, such
// as a lock).
using RecordManagerCall = std::function<std::int16_t(
    std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
    void* keyBuffer, std::uint16_t keyLength, std::int16_t keyNumber)>;

std::int16_t callRecordManager(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                               std::uint32_t* dataLength, void* keyBuffer, std::uint16_t keyLength,
                               std::int16_t keyNumber);

} // namespace ks3
