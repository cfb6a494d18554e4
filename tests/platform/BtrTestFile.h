#pragma once

#include "platform/Btrcall.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

namespace ks3::test {

// One key segment of a test file: 1-based position, length, flags.
struct Seg {
    int position;
    int length;
    int flags;
    int extendedType = 0;
};

// The create buffer for a file of `recordLength` bytes with these segments.
inline QByteArray fileDefinition(int recordLength, int keyCount, const std::vector<Seg>& segs,
                                 int pageSize = 1024) {
    QByteArray b(btr::FileDefinitionHeaderSize + int(segs.size() + 1) * btr::SegmentDefinitionSize, '\0');
    auto put16 = [&b](int at, int v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char((v >> 8) & 0xFF);
    };
    put16(0, recordLength);
    put16(2, pageSize);
    put16(4, keyCount);
    put16(10, 8);
    int at = btr::FileDefinitionHeaderSize;
    for (const Seg& s : segs) {
        put16(at, s.position);
        put16(at + 2, s.length);
        put16(at + 4, s.flags);
        b[at + 10] = char(s.extendedType);
        at += btr::SegmentDefinitionSize;
    }
    return b;
}

inline std::int16_t createFile(const QString& path, QByteArray definition, std::int16_t keyNumber = 0) {
    btr::PositionBlock pb{};
    QByteArray key = QFile::encodeName(path);
    std::uint32_t len = std::uint32_t(definition.size());
    return BTRCALL(btr::OpCreate, &pb, definition.data(), &len, key.data(), std::uint16_t(key.size()),
                   keyNumber);
}

// A position block with the buffers of the calls made through it. Keys go in
// and come back in a 255-byte buffer, as the access layer passes them.
class BtrCursor {
public:
    explicit BtrCursor(int recordLength) : record(recordLength, ' '), recordLength_(recordLength) {}

    btr::PositionBlock block{};
    QByteArray record;
    QByteArray key;
    std::uint32_t dataLength = 0;

    std::int16_t open(const QString& path, std::int16_t mode = 0) {
        QByteArray k = QFile::encodeName(path).leftJustified(255, ' ');
        dataLength = std::uint32_t(recordLength_);
        return BTRCALL(btr::OpOpen, &block, record.data(), &dataLength, k.data(), 255, mode);
    }
    // Any operation: `keyValue` is sent in the key buffer, `data` in the data
    // buffer (the current record when empty).
    std::int16_t call(std::uint16_t op, int keyNumber, const QByteArray& keyValue = QByteArray(),
                      const QByteArray& data = QByteArray()) {
        if (!data.isEmpty())
            record = data;
        if (record.size() < recordLength_)
            record = record.leftJustified(recordLength_, ' ');
        QByteArray k = keyValue.leftJustified(255, ' ');
        dataLength = std::uint32_t(record.size());
        const std::int16_t s =
            BTRCALL(op, &block, record.data(), &dataLength, k.data(), 255, std::int16_t(keyNumber));
        key = k;
        return s;
    }
    std::int16_t insert(const QByteArray& data, int keyNumber = 0) {
        return call(btr::OpInsert, keyNumber, {}, data);
    }
    std::int16_t update(const QByteArray& data, int keyNumber = 0) {
        return call(btr::OpUpdate, keyNumber, {}, data);
    }
    std::int16_t remove(int keyNumber = 0) { return call(btr::OpDelete, keyNumber); }
    std::int16_t get(std::uint16_t op, int keyNumber, const QByteArray& keyValue = QByteArray()) {
        return call(op, keyNumber, keyValue);
    }
    std::int16_t close() { return call(btr::OpClose, 0); }
    // The current record and those Get Next finds after it, in order; a scan
    // that never ends stops at `limit`.
    QList<QByteArray> thisAndNext(int keyNumber, int limit = 100000) {
        QList<QByteArray> out{record};
        while (out.size() < limit && get(btr::OpGetNext, keyNumber) == btr::StatusSuccess)
            out << record;
        return out;
    }
    // Every record in the order of a key (none when the file is empty).
    QList<QByteArray> all(int keyNumber, int limit = 100000) {
        return get(btr::OpGetFirst, keyNumber) == btr::StatusSuccess ? thisAndNext(keyNumber, limit)
                                                                     : QList<QByteArray>();
    }

private:
    int recordLength_;
};

} // namespace ks3::test

namespace ks3::test {

// Records shared with the peer process: code (8, key 0, unique), name (10,
// key 1, duplicates, modifiable), then a tail made from the code, so that a
// record read back shows whether it is whole.
constexpr int PeerRecordLength = 40;

inline QByteArray peerDefinition() {
    return fileDefinition(PeerRecordLength, 2, {{1, 8, 0}, {9, 10, btr::KeyDuplicates | btr::KeyModifiable}});
}

inline QByteArray peerCode(long n) {
    return QByteArray::number(qlonglong(n)).rightJustified(8, '0');
}

inline QByteArray peerRecord(const QByteArray& code, const QByteArray& name) {
    return code + name.leftJustified(10, ' ') + ("#" + code + "#" + code).leftJustified(22, '.');
}

} // namespace ks3::test
