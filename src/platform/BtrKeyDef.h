#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace ks3::btr {

// One segment of a key: a run of record bytes and how it compares.
struct KeySegment {
    int position = 0; // 0-based offset in the record
    int length = 0;
    std::uint16_t flags = 0;
    std::uint8_t extendedType = 0;
    std::uint8_t nullValue = 0;
};

// Extended data types handled by the manager (others are refused at create).
enum ExtendedType : std::uint8_t {
    TypeString = 0,
    TypeInteger = 1,
    TypeUnsignedBinary = 14,
};

// A key of a record file: its segments in order and the rules that follow from
// their flags. A key is stored as its sort form, a byte string whose unsigned
// byte order (SQLite's BLOB order) is the key's order.
class KeyDef {
public:
    std::vector<KeySegment> segments;

    bool duplicates() const { return flags() & 1; }
    bool modifiable() const { return flags() & 2; }
    // Duplicates, modifiability and null handling belong to the whole key and
    // are read from its first segment.
    // Null key: a record whose key is all null-value bytes is left out of it.
    bool nullKey() const { return flags() & 8; }
    int length() const;

    // The key's bytes as they lie in the record, segments concatenated.
    QByteArray fromRecord(const QByteArray& record) const;
    // Sort form of a key value given as its concatenated segment bytes (the
    // record's bytes or a caller's key buffer): case folded to capitals,
    // binary numbers turned most significant byte first, descending segments
    // inverted. A null QByteArray when the value is the null key.
    QByteArray sortForm(const QByteArray& value) const;

private:
    std::uint16_t flags() const { return segments.empty() ? 0 : segments.front().flags; }
};

// Capital of a Windows-1252 byte (letters only, accented ones included).
std::uint8_t foldToCapital(std::uint8_t c);

} // namespace ks3::btr
