#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <functional>

namespace ks3::test {

// Lets events run until `fait` holds or two seconds have passed.
inline bool attendre(const std::function<bool()>& fait, int ms = 2000) {
    QDeadlineTimer fin(ms);
    while (!fait() && !fin.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return fait();
}

// A port of `adresse` that nobody uses now.
inline quint16 portLibre(const QString& adresse = QStringLiteral("127.0.0.1")) {
    QUdpSocket s;
    s.bind(QHostAddress(adresse), 0, QAbstractSocket::DontShareAddress);
    return s.localPort();
}

// Whether a UDP socket of this computer listens on 127.0.0.1:port. Read from
// the system's socket list: trying to bind the port instead would take it,
// for an instant, from the program that is about to bind it.
inline bool ecoute(quint16 port) {
    QFile f(QStringLiteral("/proc/net/udp"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& ligne : f.readAll().split('\n')) {
        const QList<QByteArray> champs = ligne.simplified().split(' ');
        if (champs.size() > 1 && champs.at(1) == local)
            return true;
    }
    return false;
}

// A socket outside the rows: sends to them and receives what they send.
class UdpPeer {
public:
    explicit UdpPeer(const QString& adresse = QStringLiteral("127.0.0.1")) {
        socket.bind(QHostAddress(adresse), 0, QAbstractSocket::DontShareAddress);
    }
    quint16 port() const { return socket.localPort(); }
    void envoie(const QByteArray& octets, const QString& adresse, quint16 port) {
        socket.writeDatagram(octets, QHostAddress(adresse), port);
    }
    // The next datagram received, invalid after two seconds without one.
    QNetworkDatagram recoit(int ms = 2000) {
        attendre([&] { return socket.hasPendingDatagrams(); }, ms);
        return socket.hasPendingDatagrams() ? socket.receiveDatagram() : QNetworkDatagram();
    }

    QUdpSocket socket;
};

} // namespace ks3::test
