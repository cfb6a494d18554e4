#include "platform/BtrKeyDef.h"

#include "platform/Btrcall.h"

namespace ks3::btr {

std::uint8_t foldToCapital(std::uint8_t c) {
    if (c >= 'a' && c <= 'z')
        return std::uint8_t(c - 32);
    // Windows-1252: à..þ map to À..Þ (÷ is not a letter), and the three pairs
    // outside that block.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return std::uint8_t(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return c;
    }
}

int KeyDef::length() const {
    int n = 0;
    for (const KeySegment& s : segments)
        n += s.length;
    return n;
}

QByteArray KeyDef::fromRecord(const QByteArray& record) const {
    QByteArray key;
    key.reserve(length());
    for (const KeySegment& s : segments)
        key.append(record.constData() + s.position, s.length);
    return key;
}

QByteArray KeyDef::sortForm(const QByteArray& value) const {
    QByteArray out(value.size(), Qt::Uninitialized);
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data());
    const auto* src = reinterpret_cast<const std::uint8_t*>(value.constData());
    bool allNull = true;
    int at = 0;
    for (const KeySegment& s : segments) {
        const std::uint8_t* in = src + at;
        std::uint8_t* o = dst + at;
        for (int i = 0; i < s.length; ++i)
            allNull = allNull && in[i] == s.nullValue;
        const bool extended = s.flags & KeyExtendedType;
        const bool binary = extended ? (s.extendedType == TypeInteger || s.extendedType == TypeUnsignedBinary)
                                     : (s.flags & KeyBinary);
        if (binary) {
            // Little-endian numbers compare from their last byte; a signed
            // one has its sign bit flipped so negatives come first.
            for (int i = 0; i < s.length; ++i)
                o[i] = in[s.length - 1 - i];
            if (extended && s.extendedType == TypeInteger && s.length > 0)
                o[0] ^= 0x80;
        } else if (s.flags & KeyCaseInsensitive) {
            for (int i = 0; i < s.length; ++i)
                o[i] = foldToCapital(in[i]);
        } else {
            for (int i = 0; i < s.length; ++i)
                o[i] = in[i];
        }
        if (s.flags & KeyDescending)
            for (int i = 0; i < s.length; ++i)
                o[i] = std::uint8_t(0xFF - o[i]);
        at += s.length;
    }
    if (nullKey() && allNull)
        return QByteArray();
    return out;
}

} // namespace ks3::btr
