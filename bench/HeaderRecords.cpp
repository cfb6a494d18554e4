#include "HeaderRecords.h"

namespace ks3::bench {

using namespace ks3::btr;

QByteArray headerId(long n) {
    return QByteArray::number(qlonglong(n)).rightJustified(10, '0');
}

QByteArray sourceName(long n) {
    return ("Track_" + QByteArray::number(qlonglong(n % 90000)) + ".wav").leftJustified(50, ' ');
}

QByteArray processingDate(long n) {
    return "20240216" + QByteArray::number(qlonglong(n % 240000)).rightJustified(6, '0');
}

QByteArray header(long n) {
    QByteArray r = headerId(n) + sourceName(n) + processingDate(n) + "20240101120000" +
                   QByteArray::number(qlonglong(n * 37)).rightJustified(10, '0') + "N" +
                   ("Track_" + QByteArray::number(qlonglong(n)) + ".mp3").leftJustified(50, ' ') +
                   QByteArray("/srv/sons/entree/").leftJustified(255, ' ') +
                   QByteArray("/srv/sons/sortie/").leftJustified(255, ' ') + "O";
    return r.leftJustified(RecordLength, ' ');
}

QByteArray headerDefinition() {
    QByteArray b(160, '\0');
    auto put16 = [&b](int at, int v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8);
    };
    put16(0, RecordLength);
    put16(2, 2048);
    put16(4, 3);
    put16(10, 8);
    const int segs[3][3] = {{1, 10, KeyModifiable},
                            {11, 50, KeyDuplicates | KeyModifiable | KeyCaseInsensitive},
                            {61, 14, KeyDuplicates | KeyModifiable | KeyCaseInsensitive}};
    for (int i = 0; i < 3; ++i) {
        put16(16 + i * 16, segs[i][0]);
        put16(18 + i * 16, segs[i][1]);
        put16(20 + i * 16, segs[i][2]);
    }
    return b;
}

std::int16_t HeaderFile::call(std::uint16_t op, QByteArray& data, QByteArray& key, int keyNumber) {
    std::uint32_t len = std::uint32_t(data.size());
    return BTRCALL(op, &block, data.data(), &len, key.data(), std::uint16_t(key.size()),
                   std::int16_t(keyNumber));
}

std::string HeaderFile::load(const QByteArray& path) {
    QByteArray definition = headerDefinition();
    std::uint32_t len = std::uint32_t(definition.size());
    PositionBlock none{};
    QByteArray p = path;
    if (const int s = BTRCALL(OpCreate, &none, definition.data(), &len, p.data(), std::uint16_t(p.size()), 0);
        s != StatusSuccess)
        return "create " + path.toStdString() + ": status " + std::to_string(s);
    QByteArray key = path.leftJustified(255, ' ');
    QByteArray data(RecordLength, ' ');
    if (call(OpOpen, data, key, 0) != StatusSuccess)
        return "open " + path.toStdString();
    QByteArray k(255, ' ');
    for (long n = 1; n <= RecordCount; ++n) {
        if (n % 1000 == 1)
            call(OpBeginTransaction, data, k, 0);
        data = header(n);
        if (call(OpInsert, data, k, 0) != StatusSuccess)
            return "insert of header " + std::to_string(n);
        if (n % 1000 == 0)
            call(OpEndTransaction, data, k, 0);
    }
    return std::string();
}

} // namespace ks3::bench
