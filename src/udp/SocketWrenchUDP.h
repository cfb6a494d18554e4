#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace ks3 {

// One socket object of the connection-style back-end: a UDP socket bound to
// one address and port, or connected to one destination, on the system's
// sockets (a connected socket learns that its destination refused a datagram:
// the next read fails with 10054). The handle is -1 while it holds no socket.
// Texts are Windows-1252 on the wire.
class SocketWrenchUDP : public QObject {
    Q_OBJECT
public:
    static constexpr int kProtocoleUDP = 17;

    explicit SocketWrenchUDP(int index, QObject* parent = nullptr);
    ~SocketWrenchUDP() override;

    int index() const { return index_; }
    int handle() const { return fd_; }
    // Arrivals are always signalled by onRead; kept for the callers that set it.
    void setBlocking(bool bloquant) { bloquant_ = bloquant; }
    bool blocking() const { return bloquant_; }

    // 0 on success, else -1 with the last error set.
    int Bind(const QString& adresse, int port, int protocole);
    int Connect(const QString& adresse, int port, int protocole);
    // The number of bytes sent, or -1.
    int Write(const QString& texte, int longueur);
    // Reads one datagram, at most `maximum` bytes of it: the number of bytes
    // read, 0 when none is waiting, -1 on failure.
    int Read(QString& texte, int maximum);
    // Releases the socket; 0 on success. The handle is then -1.
    int Disconnect();

    int lastError() const { return erreur_; }
    QString lastErrorString() const { return texteErreur_; }
    QString peerAddress() const { return adresseDistante_; }
    int peerPort() const { return portDistant_; }

signals:
    void onRead(int index);

private:
    bool ouvre();
    // Bind or Connect: the address and port read, the socket opened, then the call.
    int lie(const QString& adresse, int port, bool connecter);
    void echec(int numeroErrno);

    int index_;
    int fd_ = -1;
    bool bloquant_ = true;
    QSocketNotifier* lecture_ = nullptr;
    int erreur_ = 0;
    QString texteErreur_;
    QString adresseDistante_;
    int portDistant_ = 0;
};

} // namespace ks3
