#pragma once

#include <QAbstractSocket>
#include <QString>

namespace ks3 {

// A socket failure as the suite's programs number and word it (the Windows
// socket numbers): address in use 10048, address not available 10049, a
// datagram refused by its destination 10054, host not found 11001.
struct SocketErreur {
    int numero = 0;
    QString texte;
};

// The number and text of a failure of a Qt socket.
SocketErreur socketErreur(QAbstractSocket::SocketError erreur, const QString& texteQt);
// The number and text of a failure of a system call (errno).
SocketErreur socketErreurSysteme(int numeroErrno);

} // namespace ks3
