#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace ks3 {

// Where a field lies in a record. Offsets are 0-based byte offsets of the
// stored record; an array field is count consecutive items of width bytes.
struct TextField {
    int offset;
    int width;
    int count = 1;
};
struct Int16Field {
    int offset;
    int count = 1;
};
struct Int32Field {
    int offset;
    int count = 1;
};

// One line of a layout description, used to check a layout as a whole.
struct FieldDef {
    enum Kind { Text, Int16, Int32, Padding };
    const char* name;
    int offset;
    int width; // of one item
    int count;
    Kind kind;
    int end() const { return offset + width * count; }
};

inline FieldDef describe(const char* name, TextField f, FieldDef::Kind kind = FieldDef::Text) {
    return {name, f.offset, f.width, f.count, kind};
}
inline FieldDef describe(const char* name, Int16Field f) {
    return {name, f.offset, 2, f.count, FieldDef::Int16};
}
inline FieldDef describe(const char* name, Int32Field f) {
    return {name, f.offset, 4, f.count, FieldDef::Int32};
}

// Text conversions shared by every record field.
namespace recordtext {
// Value padded with spaces or cut to width bytes, in Windows-1252.
QByteArray fit(const QString& value, int width);
// The value trimmed of spaces at both ends (other characters are kept).
QString trimSpaces(const QString& value);
// What a field of width bytes gives back of value once written: the value in
// the code page, cut to the field, trimmed of spaces.
QString stored(const QString& value, int width);
// Decimal digits, zero-filled on the left to width. A value that needs more
// digits than the field has, or a negative one, is refused: cutting it would
// store a different number.
QByteArray zeroFilled(qint64 value, int width);
// The largest number a field of width digits holds (9 999 999 999 for 10).
qint64 largestNumber(int width);
// The leading number of a text: spaces skipped, then digits (a sign allowed);
// 0 when there is none.
qint64 leadingNumber(const QString& text);
// "yyyymmddhhmmss".
QString dateTime14(const QDateTime& dt);
} // namespace recordtext

QString recordTextDecode(const char* data, int width);
// The same trimmed of spaces at both ends (a space is one byte in the code page).
QString recordTextDecodeTrimmed(const char* data, int width);
// Raises the error of an array index outside its field.
[[noreturn]] void recordFieldIndexError(int offset, int index, int count);

// The exact byte image of a record buffer. Layout is the in-memory size (it may
// be longer than what is stored); nothing outside the fields a setter names is
// ever touched, so bytes this program does not know are written back as read.
template <int Layout> class RecordImage {
public:
    static constexpr int LayoutSize = Layout;

    RecordImage() { bytes_.fill(' '); }

    char* data() { return bytes_.data(); }
    const char* data() const { return bytes_.data(); }
    static constexpr int size() { return Layout; }

    QByteArray bytes() const { return QByteArray(bytes_.data(), Layout); }
    // Copies an image in; bytes beyond the given ones keep their value.
    void setBytes(const QByteArray& b) {
        const int n = b.size() < Layout ? int(b.size()) : Layout;
        std::copy(b.constData(), b.constData() + n, bytes_.begin());
    }

    // Field contents as stored (padding included).
    QByteArray raw(int offset, int width) const { return QByteArray(bytes_.data() + offset, width); }
    void setRaw(int offset, const QByteArray& b) {
        std::copy(b.constData(), b.constData() + qMin<qsizetype>(b.size(), Layout - offset),
                  bytes_.begin() + offset);
    }

    // Text fields: read trimmed of spaces, written padded or cut.
    QString text(TextField f, int index = 0) const {
        check(f, index);
        return recordTextDecodeTrimmed(bytes_.data() + f.offset + index * f.width, f.width);
    }
    QString rawText(TextField f, int index = 0) const;
    void setText(TextField f, const QString& value, int index = 0) {
        check(f, index);
        setRaw(f.offset + index * f.width, recordtext::fit(value, f.width));
    }
    // Numbers kept as zero-filled text.
    qint64 number(TextField f, int index = 0) const { return recordtext::leadingNumber(rawText(f, index)); }
    void setNumber(TextField f, qint64 value, int index = 0) {
        check(f, index);
        setRaw(f.offset + index * f.width, recordtext::zeroFilled(value, f.width));
    }

    // Little-endian binary numbers.
    qint16 int16(Int16Field f, int index = 0) const {
        checkIndex(f.offset, index, f.count);
        const int o = f.offset + 2 * index;
        return qint16(quint16(byte(o)) | quint16(byte(o + 1)) << 8);
    }
    void setInt16(Int16Field f, qint16 v, int index = 0) {
        checkIndex(f.offset, index, f.count);
        const int o = f.offset + 2 * index;
        bytes_[o] = char(quint16(v) & 0xFF);
        bytes_[o + 1] = char(quint16(v) >> 8);
    }
    qint32 int32(Int32Field f, int index = 0) const {
        checkIndex(f.offset, index, f.count);
        const int o = f.offset + 4 * index;
        return qint32(quint32(byte(o)) | quint32(byte(o + 1)) << 8 | quint32(byte(o + 2)) << 16 |
                      quint32(byte(o + 3)) << 24);
    }
    void setInt32(Int32Field f, qint32 v, int index = 0) {
        checkIndex(f.offset, index, f.count);
        const int o = f.offset + 4 * index;
        for (int i = 0; i < 4; ++i)
            bytes_[o + i] = char((quint32(v) >> (8 * i)) & 0xFF);
    }

private:
    quint8 byte(int o) const { return quint8(bytes_[o]); }
    static void check(TextField f, int index) { checkIndex(f.offset, index, f.count); }
    static void checkIndex(int offset, int index, int count) {
        if (index < 0 || index >= count)
            recordFieldIndexError(offset, index, count);
    }

    std::array<char, Layout> bytes_;
};

template <int Layout> QString RecordImage<Layout>::rawText(TextField f, int index) const {
    check(f, index);
    return recordTextDecode(bytes_.data() + f.offset + index * f.width, f.width);
}

} // namespace ks3
