#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>

namespace ks3 {

class SocketUDP;
class SocketWrenchUDP;

// The holder of the nine socket objects of the UDP rows (socket n serves
// receive row n and send row n) and of their event handlers. A core object,
// never shown; it lives from its first use to the end of the program.
//
// A received text is handed to the row's command handler through
// LabelDataArrivalUDP(n): storing a text that differs from the label runs the
// handler at once, which ends by clearing the label, so that the same text
// received twice is handled twice.
class Frm_MainBis : public QObject {
    Q_OBJECT
public:
    static constexpr int kNombreLignes = 9;
    // The command handler of a row: gets the row and the text received.
    using GestionnaireCommande = std::function<void(int index, const QString& texte)>;

    explicit Frm_MainBis(QObject* parent = nullptr);
    ~Frm_MainBis() override;

    SocketUDP& socketUDP(int index);
    SocketWrenchUDP& socketWrenchUDP(int index);

    // Datagram back-end send through SocketUDP(Index). Errors go to the error
    // routine; nothing is traced on success.
    void SendDataUDPSocket(qint16 Index, const QString& AdresseIP, qint32 NoPort, const QString& Message);

    // Connection-style back-end send through SocketWrenchUDP(Index): never to
    // 127.0.0.1; connects again only when the destination changed since the
    // row's last write; at most 1024 characters of the trimmed message; waits
    // a little over 200 ms after a write, events running.
    void SendDataUDPSocketWrench(qint16 Index, const QString& AdresseIP, qint32 NoPort,
                                 const QString& Message);

    // Event handlers of the sockets.
    void SocketWrenchUDP_OnRead(int Index);
    void SocketUDP_DataArrival(int Index, qint64 bytesTotal);
    void SocketUDP_Error(int Index, int Number, const QString& Description, const QString& Source);

    // The hand-over label of row n.
    QString LabelDataArrivalUDP(int n) const;
    void setLabelDataArrivalUDP(int n, const QString& texte);
    // The last text received on row n (TexteUDPDonneeRecues).
    QString TexteUDPDonneeRecues(int n) const;

    // The command handler in force; empty restores the default one, which
    // only traces the text.
    void setGestionnaireCommande(GestionnaireCommande g);

    // Whether the address and port fields of receive row n are locked (the
    // row is bound through its check box).
    bool champsVerrouilles(int n) const;
    void setChampsVerrouilles(int n, bool verrouilles);

    // DerniereIPEnvoi and DernierPortEnvoi.
    QString DerniereIPEnvoi(int n) const { return derniereIPEnvoi_.at(static_cast<std::size_t>(n)); }
    qint32 DernierPortEnvoi(int n) const { return dernierPortEnvoi_.at(static_cast<std::size_t>(n)); }

signals:
    void donneeRecue(int n, const QString& texte);
    void verrouillageChange(int n, bool verrouilles);

private:
    void LabelDataArrivalUDP_Change(int n);
    // A received text handed to the row's handler.
    void remettre(int n, const QString& texte);

    std::array<SocketUDP*, kNombreLignes> sockets_{};
    std::array<SocketWrenchUDP*, kNombreLignes> socketsWrench_{};
    // The destination of each socket object's last successful write
    // (connection-style back-end), for the whole run.
    std::array<QString, 12> derniereIPEnvoi_;
    std::array<qint32, 12> dernierPortEnvoi_{};
    std::array<QString, kNombreLignes> labels_;
    std::array<QString, kNombreLignes> recues_;
    std::array<bool, kNombreLignes> verrous_{};
    GestionnaireCommande gestionnaire_;
};

// The object of this process, created at its first use.
Frm_MainBis& frmMainBis();

} // namespace ks3
