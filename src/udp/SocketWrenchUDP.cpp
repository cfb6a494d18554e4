#include "udp/SocketWrenchUDP.h"

#include "platform/Text1252.h"
#include "udp/SocketErreur.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ks3 {

namespace {
// The IPv4 address of a text (an address or a host name); none when it cannot
// be found.
bool adresseIPv4(const QString& texte, quint32& resultat) {
    QHostAddress a;
    const QString t = texte.trimmed();
    if (a.setAddress(t) && a.protocol() == QAbstractSocket::IPv4Protocol) {
        resultat = a.toIPv4Address();
        return true;
    }
    if (t.isEmpty())
        return false;
    for (const QHostAddress& h : QHostInfo::fromName(t).addresses())
        if (h.protocol() == QAbstractSocket::IPv4Protocol) {
            resultat = h.toIPv4Address();
            return true;
        }
    return false;
}

sockaddr_in sockaddr(quint32 adresse, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<quint16>(port));
    a.sin_addr.s_addr = htonl(adresse);
    return a;
}
} // namespace

SocketWrenchUDP::SocketWrenchUDP(int index, QObject* parent) : QObject(parent), index_(index) {}

SocketWrenchUDP::~SocketWrenchUDP() {
    Disconnect();
}

void SocketWrenchUDP::echec(int numeroErrno) {
    const SocketErreur e = socketErreurSysteme(numeroErrno);
    erreur_ = e.numero;
    texteErreur_ = e.texte;
}

bool SocketWrenchUDP::ouvre() {
    if (fd_ >= 0)
        return true;
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd_ < 0) {
        echec(errno);
        return false;
    }
    lecture_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(lecture_, &QSocketNotifier::activated, this, [this] { emit onRead(index_); });
    return true;
}

int SocketWrenchUDP::Bind(const QString& adresse, int port, int /*protocole*/) {
    return lie(adresse, port, false);
}

int SocketWrenchUDP::Connect(const QString& adresse, int port, int /*protocole*/) {
    adresseDistante_ = adresse;
    portDistant_ = port;
    return lie(adresse, port, true);
}

int SocketWrenchUDP::lie(const QString& adresse, int port, bool connecter) {
    quint32 a = 0;
    if (!adresseIPv4(adresse, a)) {
        const SocketErreur e = socketErreur(QAbstractSocket::HostNotFoundError, QString());
        erreur_ = e.numero;
        texteErreur_ = e.texte;
        return -1;
    }
    if (port < 0 || port > 65535) {
        echec(EADDRNOTAVAIL);
        return -1;
    }
    if (!ouvre())
        return -1;
    const sockaddr_in sa = sockaddr(a, port);
    const auto* generique = reinterpret_cast<const ::sockaddr*>(&sa);
    if ((connecter ? ::connect(fd_, generique, sizeof sa) : ::bind(fd_, generique, sizeof sa)) != 0) {
        echec(errno);
        Disconnect();
        return -1;
    }
    return 0;
}

int SocketWrenchUDP::Write(const QString& texte, int longueur) {
    if (fd_ < 0) {
        echec(ENOTSOCK);
        return -1;
    }
    const QByteArray octets = toCp1252(texte.left(longueur));
    const ssize_t n = ::send(fd_, octets.constData(), static_cast<size_t>(octets.size()), MSG_NOSIGNAL);
    if (n < 0) {
        echec(errno);
        return -1;
    }
    return static_cast<int>(n);
}

int SocketWrenchUDP::Read(QString& texte, int maximum) {
    texte.clear();
    if (fd_ < 0) {
        echec(ENOTSOCK);
        return -1;
    }
    QByteArray tampon(maximum, '\0');
    sockaddr_in de{};
    socklen_t taille = sizeof de;
    const ssize_t n = ::recvfrom(fd_, tampon.data(), static_cast<size_t>(maximum), 0,
                                 reinterpret_cast<::sockaddr*>(&de), &taille);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        echec(errno);
        return -1;
    }
    if (taille >= sizeof de && de.sin_family == AF_INET) {
        adresseDistante_ = QHostAddress(ntohl(de.sin_addr.s_addr)).toString();
        portDistant_ = ntohs(de.sin_port);
    }
    tampon.truncate(static_cast<int>(n));
    texte = fromCp1252(tampon);
    return static_cast<int>(n);
}

int SocketWrenchUDP::Disconnect() {
    if (lecture_) {
        lecture_->setEnabled(false);
        lecture_->deleteLater();
        lecture_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return 0;
}

} // namespace ks3
