#include "udp/SocketErreur.h"

#include <cerrno>
#include <cstring>

namespace ks3 {

SocketErreur socketErreur(QAbstractSocket::SocketError erreur, const QString& texteQt) {
    switch (erreur) {
    case QAbstractSocket::AddressInUseError:
        return {10048, QStringLiteral("Address in use")};
    case QAbstractSocket::SocketAddressNotAvailableError:
        return {10049, QStringLiteral("Address not available")};
    case QAbstractSocket::ConnectionRefusedError:
        return {10054, QStringLiteral("Connection reset by the remote side")};
    case QAbstractSocket::HostNotFoundError:
        return {11001, QStringLiteral("Host not found")};
    case QAbstractSocket::SocketAccessError:
        return {10013, QStringLiteral("Permission denied")};
    case QAbstractSocket::DatagramTooLargeError:
        return {10040, QStringLiteral("Message too long")};
    case QAbstractSocket::NetworkError:
        return {10050, QStringLiteral("Network is down")};
    default:
        // Anything else keeps Qt's own wording, under a number of its own.
        return {20000 + static_cast<int>(erreur), texteQt};
    }
}

SocketErreur socketErreurSysteme(int numeroErrno) {
    switch (numeroErrno) {
    case EADDRINUSE:
        return socketErreur(QAbstractSocket::AddressInUseError, QString());
    case EADDRNOTAVAIL:
        return socketErreur(QAbstractSocket::SocketAddressNotAvailableError, QString());
    case ECONNREFUSED:
        return socketErreur(QAbstractSocket::ConnectionRefusedError, QString());
    case EACCES:
    case EPERM:
        return socketErreur(QAbstractSocket::SocketAccessError, QString());
    case EMSGSIZE:
        return socketErreur(QAbstractSocket::DatagramTooLargeError, QString());
    case ENETDOWN:
    case ENETUNREACH:
        return socketErreur(QAbstractSocket::NetworkError, QString());
    default:
        // The Windows numbers of the other failures are their errno above 10000.
        return {10000 + numeroErrno, QString::fromLocal8Bit(std::strerror(numeroErrno))};
    }
}

} // namespace ks3
