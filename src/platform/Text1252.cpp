#include "platform/Text1252.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

namespace ks3 {

namespace {
// Windows-1252 agrees with Latin-1 everywhere but 0x80 to 0x9F, so text that
// avoids that range converts without the (costly) codec lookup. Record fields
// and keys are converted at every record call.
bool sameAsLatin1(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0xFF || (u >= 0x80 && u < 0xA0))
            return false;
    }
    return true;
}
bool sameAsLatin1(QByteArrayView bytes) {
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0)
            return false;
    }
    return true;
}
} // namespace

bool sameInCp1252(const QString& text) {
    return sameAsLatin1(text);
}

QByteArray toCp1252(const QString& text) {
    if (sameAsLatin1(text))
        return text.toLatin1();
    QStringEncoder enc("windows-1252");
    if (!enc.isValid())
        return text.toLatin1();
    QByteArray out = enc.encode(text);
    return out;
}

QString fromCp1252(const QByteArray& bytes) {
    return fromCp1252(bytes.constData(), bytes.size());
}

QString fromCp1252(const char* data, qsizetype size) {
    const QByteArrayView bytes(data, size);
    if (sameAsLatin1(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder dec("windows-1252");
    if (!dec.isValid())
        return QString::fromLatin1(bytes);
    QString out = dec.decode(bytes);
    return out;
}

} // namespace ks3
