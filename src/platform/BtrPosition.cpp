#include "platform/BtrPosition.h"

#include <cstring>

namespace ks3::btr {

namespace {

constexpr unsigned char Tag[4] = {'K', 'B', 't', 1};
constexpr int KeyOffset = 40;
static_assert(KeyOffset + Position::KeyCapacity == PositionBlockSize);

template <typename T> T load(const unsigned char* p) {
    T v{};
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

} // namespace

Position Position::read(const PositionBlock& block) {
    Position p;
    const unsigned char* b = block.bytes;
    if (std::memcmp(b, Tag, sizeof Tag) != 0)
        return p;
    p.cursor = load<std::uint32_t>(b + 4);
    p.generation = load<std::uint32_t>(b + 8);
    p.keyNumber = load<std::int16_t>(b + 12);
    p.state = b[14] <= Between ? State(b[14]) : None;
    p.keyLength = b[15];
    p.recordId = load<std::int64_t>(b + 16);
    p.version = load<std::int64_t>(b + 24);
    p.sequence = load<std::int64_t>(b + 32);
    if (p.keyInBlock())
        p.key = QByteArray(reinterpret_cast<const char*>(b + KeyOffset), p.keyLength);
    return p;
}

void Position::write(PositionBlock& block) const {
    unsigned char* b = block.bytes;
    std::memset(b, 0, PositionBlockSize);
    std::memcpy(b, Tag, sizeof Tag);
    store(b + 4, cursor);
    store(b + 8, generation);
    store(b + 12, keyNumber);
    b[14] = state;
    b[15] = static_cast<unsigned char>(keyLength);
    store(b + 16, recordId);
    store(b + 24, version);
    store(b + 32, sequence);
    if (keyInBlock())
        std::memcpy(b + KeyOffset, key.constData(), std::size_t(keyLength));
}

} // namespace ks3::btr
