#include "store/PrintableKey.h"

#include "platform/Text1252.h"

namespace ks3 {

namespace {
// The code of a character in Windows-1252, -1 when the code page lacks it.
int code1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u; // the same code points as Latin-1
    if (c.isSurrogate())
        return -1;
    const QByteArray b = toCp1252(QString(c));
    if (b.size() != 1 || b.at(0) == '?')
        return -1;
    return static_cast<unsigned char>(b.at(0));
}
} // namespace

QString PrintableKey(const QString& key) {
    static const QString kept = QStringLiteral("éèàçûôâëù");
    QString out = key;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (kept.contains(c))
            continue;
        const int code = code1252(c);
        if (code < 32 || code > 250)
            out[i] = QLatin1Char(' ');
    }
    return out;
}

} // namespace ks3
