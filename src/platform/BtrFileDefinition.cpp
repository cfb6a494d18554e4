#include "platform/BtrFileDefinition.h"

#include "platform/Btrcall.h"

namespace ks3::btr {

namespace {

std::uint16_t u16(const unsigned char* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

void put16(QByteArray& b, int at, int v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

constexpr int MaxKeys = 119;
constexpr int MaxKeyLength = 255;
constexpr int MaxRecordLength = 65535;

} // namespace

std::int16_t FileDefinition::parse(const unsigned char* bytes, std::size_t size, FileDefinition& out) {
    out = FileDefinition();
    if (size < std::size_t(FileDefinitionHeaderSize))
        return StatusDataBufferTooShort;
    out.recordLength = u16(bytes);
    out.pageSize = u16(bytes + 2);
    const int keyCount = u16(bytes + 4);
    out.fileFlags = u16(bytes + 10);
    if (out.recordLength < 4 || out.recordLength > MaxRecordLength)
        return StatusInvalidRecordLength;
    if (out.pageSize < 512 || out.pageSize > 16384 || out.pageSize % 512 != 0)
        return StatusInvalidPageSize;
    if (keyCount > MaxKeys)
        return StatusInvalidNumberOfKeys;

    std::size_t at = FileDefinitionHeaderSize;
    for (int k = 0; k < keyCount; ++k) {
        KeyDef key;
        bool more = true;
        while (more) {
            if (at + SegmentDefinitionSize > size)
                return StatusDataBufferTooShort;
            const unsigned char* s = bytes + at;
            at += SegmentDefinitionSize;
            KeySegment seg;
            seg.position = int(u16(s)) - 1;
            seg.length = u16(s + 2);
            seg.flags = u16(s + 4);
            seg.extendedType = s[10];
            seg.nullValue = s[11];
            more = seg.flags & KeySegmented;
            if (seg.position < 0 || seg.length < 1 || seg.position + seg.length > out.recordLength)
                return StatusInvalidKeyPosition;
            if (seg.flags & KeyAlternateSequence)
                return StatusInvalidAlternateSequence;
            if (seg.flags & KeyExtendedType) {
                const bool known = seg.extendedType == TypeString || seg.extendedType == TypeUnsignedBinary ||
                                   (seg.extendedType == TypeInteger && (seg.length == 1 || seg.length == 2 ||
                                                                        seg.length == 4 || seg.length == 8));
                if (!known)
                    return StatusInvalidExtendedType;
            }
            key.segments.push_back(seg);
        }
        if (key.length() > MaxKeyLength)
            return StatusInvalidKeyLength;
        out.keys.push_back(std::move(key));
    }
    return StatusSuccess;
}

QByteArray FileDefinition::toBytes() const {
    int segs = 0;
    for (const KeyDef& k : keys)
        segs += int(k.segments.size());
    QByteArray b(FileDefinitionHeaderSize + segs * SegmentDefinitionSize, '\0');
    put16(b, 0, recordLength);
    put16(b, 2, pageSize);
    put16(b, 4, int(keys.size()));
    put16(b, 10, fileFlags);
    int at = FileDefinitionHeaderSize;
    for (const KeyDef& k : keys) {
        for (const KeySegment& s : k.segments) {
            put16(b, at, s.position + 1);
            put16(b, at + 2, s.length);
            put16(b, at + 4, s.flags);
            b[at + 10] = char(s.extendedType);
            b[at + 11] = char(s.nullValue);
            at += SegmentDefinitionSize;
        }
    }
    return b;
}

} // namespace ks3::btr
