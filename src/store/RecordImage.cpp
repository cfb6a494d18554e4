#include "store/RecordImage.h"

#include "common/ErrorRoutine.h"
#include "platform/Text1252.h"

#include <limits>

namespace ks3 {

namespace recordtext {

QByteArray fit(const QString& value, int width) {
    QByteArray b = toCp1252(value);
    if (b.size() > width)
        b.truncate(width);
    else if (b.size() < width)
        b.append(QByteArray(width - b.size(), ' '));
    return b;
}

QString trimSpaces(const QString& value) {
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && value.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && value.at(end - 1) == QLatin1Char(' '))
        --end;
    return value.mid(start, end - start);
}

QString stored(const QString& value, int width) {
    // Text that the code page holds as Latin-1 comes back as it is, one byte
    // per character: no round trip needed.
    if (!value.isEmpty() && width > 0 && sameInCp1252(value))
        return trimSpaces(value.size() > width ? value.left(width) : value);
    return trimSpaces(fromCp1252(fit(value, width)));
}

QByteArray zeroFilled(qint64 value, int width) {
    const QByteArray digits = QByteArray::number(value);
    if (value < 0 || digits.size() > width)
        raiseError(6, QStringLiteral("Overflow: %1 does not fit in %2 digits").arg(value).arg(width));
    return QByteArray(width - digits.size(), '0') + digits;
}

qint64 largestNumber(int width) {
    qint64 n = 0;
    for (int i = 0; i < width && n <= (std::numeric_limits<qint64>::max() - 9) / 10; ++i)
        n = n * 10 + 9;
    return n;
}

qint64 leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 n = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' '))
            continue; // the suite's number reading skips blanks between digits
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        if (n > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;
        n = n * 10 + (c.unicode() - '0');
    }
    return negative ? -n : n;
}

QString dateTime14(const QDateTime& dt) {
    // Built by hand for the usual years: this runs for every file of every run.
    const QDate d = dt.date();
    const QTime t = dt.time();
    if (!dt.isValid() || d.year() < 1000 || d.year() > 9999 || !t.isValid())
        return dt.toString(QStringLiteral("yyyyMMddHHmmss"));
    char16_t text[14];
    auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            text[at + i] = char16_t(u'0' + value % 10);
            value /= 10;
        }
    };
    put(0, d.year(), 4);
    put(4, d.month(), 2);
    put(6, d.day(), 2);
    put(8, t.hour(), 2);
    put(10, t.minute(), 2);
    put(12, t.second(), 2);
    return QString(reinterpret_cast<const QChar*>(text), 14);
}

} // namespace recordtext

QString recordTextDecode(const char* data, int width) {
    return fromCp1252(data, width);
}

QString recordTextDecodeTrimmed(const char* data, int width) {
    int start = 0;
    int end = width;
    while (start < end && data[start] == ' ')
        ++start;
    while (end > start && data[end - 1] == ' ')
        --end;
    return fromCp1252(data + start, end - start);
}

void recordFieldIndexError(int offset, int index, int count) {
    raiseError(9, QStringLiteral("Subscript out of range: item %1 of the field at offset %2 (%3 items)")
                      .arg(index)
                      .arg(offset)
                      .arg(count));
}

} // namespace ks3
