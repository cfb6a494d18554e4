#include "common/Text1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace ks3 {

QByteArray toCp1252(const QString& text) {
    QStringEncoder enc("windows-1252");
    if (!enc.isValid())
        return text.toLatin1();
    QByteArray out = enc.encode(text);
    return out;
}

QString fromCp1252(const QByteArray& bytes) {
    QStringDecoder dec("windows-1252");
    if (!dec.isValid())
        return QString::fromLatin1(bytes);
    QString out = dec.decode(bytes);
    return out;
}

} // namespace ks3
