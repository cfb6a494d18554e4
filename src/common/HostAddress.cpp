#include "common/HostAddress.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace ks3 {

QString AdresseIPPoste() {
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& a : info.addresses()) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        if (!a.isLoopback())
            return a.toString();
        break;
    }
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        if (!(i.flags() & QNetworkInterface::IsUp) || (i.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.ip().isLoopback())
                return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace ks3
