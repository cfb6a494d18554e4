#pragma once

#include "udp/SocketErreur.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace ks3 {

// One socket object of the datagram back-end: a UDP socket that listens on one
// address and port once bound, and sends one text as one datagram. Texts are
// Windows-1252 on the wire. Every datagram that arrives is announced by
// dataArrival, one at a time, and read by getData while the signal runs.
class SocketUDP : public QObject {
    Q_OBJECT
public:
    explicit SocketUDP(int index, QObject* parent = nullptr);
    ~SocketUDP() override;

    int index() const { return index_; }

    // Releases any binding; closing a closed socket is harmless.
    void close();
    // Listens on (adresse, port): port read as a leading number. False on
    // failure, with derniereErreur() set. Never listens on an address other
    // than the one given (no address sharing either).
    bool bind(const QString& port, const QString& adresse);
    // True while the socket is bound or has sent.
    bool isOpen() const;
    // The local port an unopened socket sends from (0: any free port).
    void setLocalPort(int port) { localPort_ = port; }
    // The destination of the next send.
    void setRemote(const QString& adresse, int port);
    // Sends the text as one datagram; false on failure, with derniereErreur() set.
    bool send(const QString& texte);
    // The datagram being announced, as text, and the address it came from.
    QString getData() const;
    QString senderAddress() const;
    // The local port in use (0 when not open).
    int localPort() const;

    const SocketErreur& derniereErreur() const { return erreur_; }

signals:
    // A datagram arrived (its size in bytes).
    void dataArrival(int index, qint64 bytesTotal);
    // An asynchronous failure of the socket.
    void error(int index, int number, const QString& description, const QString& source);

private:
    void lire();
    void erreurAsynchrone();
    bool resoudre(const QString& adresse, QHostAddress& resultat);
    void noteErreur();

    int index_;
    QUdpSocket* socket_;
    int localPort_ = 0;
    QString adresseDistante_;
    int portDistant_ = 0;
    QByteArray donnees_;
    QHostAddress expediteur_;
    SocketErreur erreur_;
    bool appelEnCours_ = false;
};

} // namespace ks3
