#include "udp/SocketUDP.h"

#include "common/LeadingNumber.h"
#include "platform/Text1252.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ks3 {

SocketUDP::SocketUDP(int index, QObject* parent)
    : QObject(parent), index_(index), socket_(new QUdpSocket(this)) {
    connect(socket_, &QUdpSocket::readyRead, this, &SocketUDP::lire);
    connect(socket_, &QUdpSocket::errorOccurred, this, &SocketUDP::erreurAsynchrone);
}

SocketUDP::~SocketUDP() = default;

void SocketUDP::close() {
    socket_->abort();
    donnees_.clear();
}

bool SocketUDP::resoudre(const QString& adresse, QHostAddress& resultat) {
    const QString a = adresse.trimmed();
    if (resultat.setAddress(a) && resultat.protocol() == QAbstractSocket::IPv4Protocol)
        return true;
    if (!a.isEmpty()) {
        const QHostInfo info = QHostInfo::fromName(a);
        for (const QHostAddress& h : info.addresses())
            if (h.protocol() == QAbstractSocket::IPv4Protocol) {
                resultat = h;
                return true;
            }
    }
    erreur_ = socketErreur(QAbstractSocket::HostNotFoundError, QString());
    return false;
}

void SocketUDP::noteErreur() {
    erreur_ = socketErreur(socket_->error(), socket_->errorString());
}

bool SocketUDP::bind(const QString& port, const QString& adresse) {
    erreur_ = {};
    QHostAddress local;
    if (!resoudre(adresse, local))
        return false;
    const double p = leadingNumber(port);
    if (p < 0 || p > 65535) {
        erreur_ = {10049, QStringLiteral("Address not available")};
        return false;
    }
    // Bound by hand: Qt reports every failure of a bind as an address in
    // use, and would share the address (SO_REUSEADDR) with another socket.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        erreur_ = socketErreurSysteme(errno);
        return false;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<quint16>(p));
    a.sin_addr.s_addr = htonl(local.toIPv4Address());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        erreur_ = socketErreurSysteme(errno);
        ::close(fd);
        return false;
    }
    appelEnCours_ = true;
    const bool ok = socket_->setSocketDescriptor(fd, QAbstractSocket::BoundState);
    appelEnCours_ = false;
    if (!ok) {
        noteErreur();
        ::close(fd);
    }
    return ok;
}

bool SocketUDP::isOpen() const {
    return socket_->state() == QAbstractSocket::BoundState;
}

void SocketUDP::setRemote(const QString& adresse, int port) {
    adresseDistante_ = adresse;
    portDistant_ = port;
}

bool SocketUDP::send(const QString& texte) {
    erreur_ = {};
    QHostAddress distante;
    if (!resoudre(adresseDistante_, distante))
        return false;
    if (portDistant_ < 0 || portDistant_ > 65535) {
        erreur_ = {10049, QStringLiteral("Address not available")};
        return false;
    }
    appelEnCours_ = true;
    if (!isOpen())
        socket_->bind(QHostAddress::AnyIPv4, static_cast<quint16>(localPort_));
    const QByteArray octets = toCp1252(texte);
    const qint64 envoyes = socket_->writeDatagram(octets, distante, static_cast<quint16>(portDistant_));
    appelEnCours_ = false;
    if (envoyes != octets.size()) {
        noteErreur();
        return false;
    }
    return true;
}

void SocketUDP::lire() {
    // One datagram at a time, each announced before the next is read.
    while (socket_->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket_->receiveDatagram();
        if (!d.isValid() && socket_->state() != QAbstractSocket::BoundState)
            return;
        donnees_ = d.data();
        expediteur_ = d.senderAddress();
        emit dataArrival(index_, donnees_.size());
        donnees_.clear();
    }
}

QString SocketUDP::getData() const {
    return fromCp1252(donnees_);
}

QString SocketUDP::senderAddress() const {
    bool ok = false;
    const quint32 v4 = expediteur_.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : expediteur_.toString();
}

int SocketUDP::localPort() const {
    return isOpen() ? socket_->localPort() : 0;
}

void SocketUDP::erreurAsynchrone() {
    if (appelEnCours_)
        return;
    const SocketErreur e = socketErreur(socket_->error(), socket_->errorString());
    emit error(index_, e.numero, e.texte, QStringLiteral("SocketUDP"));
}

} // namespace ks3
