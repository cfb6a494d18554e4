#pragma once

#include "platform/BtrKeyDef.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace ks3::btr {

// The description of a record file given to Create (layout in Btrcall.h):
// record length, page size, file flags and the keys.
class FileDefinition {
public:
    int recordLength = 0;
    int pageSize = 0;
    std::uint16_t fileFlags = 0;
    std::vector<KeyDef> keys;

    // Reads and checks a definition of `size` bytes. Returns a status
    // (StatusSuccess when the definition is usable).
    static std::int16_t parse(const unsigned char* bytes, std::size_t size, FileDefinition& out);
    // The definition bytes that parse() reads back into this one.
    QByteArray toBytes() const;
};

} // namespace ks3::btr
