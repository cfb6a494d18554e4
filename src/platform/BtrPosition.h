#pragma once

#include "platform/Btrcall.h"

#include <QByteArray>
#include <cstdint>

namespace ks3::btr {

// What a position block holds, decoded. Layout of the 128 bytes:
// 0 tag "KBt" + format byte, 4 cursor number (32-bit), 8 cursor generation
// (32-bit), 12 key number of the position (16-bit), 14 state, 15 length of the
// position key, 16 record id, 24 record version, 32 duplicate sequence (64-bit
// each), 40 the position key in its sort form (88 bytes). A key longer than
// that is kept by the cursor and only its length is in the block.
struct Position {
    enum State : std::uint8_t {
        None = 0,     // no current record
        OnRecord = 1, // on the record read or written last
        Between = 2,  // where a deleted record was: Next and Previous go on from there
    };
    static constexpr int KeyCapacity = 88;

    std::uint32_t cursor = 0; // 0: not a block of an open file
    std::uint32_t generation = 0;
    std::int16_t keyNumber = -1;
    State state = None;
    std::int64_t recordId = 0;
    std::int64_t version = 0;
    std::int64_t sequence = 0;
    QByteArray key; // sort form; empty when held by the cursor (long key)
    int keyLength = 0;

    bool keyInBlock() const { return keyLength <= KeyCapacity; }

    // A block not written by the manager reads back with cursor 0.
    static Position read(const PositionBlock& block);
    void write(PositionBlock& block) const;
};

} // namespace ks3::btr
