#include "udp/Frm_MainBis.h"

#include "common/Clock.h"
#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"
#include "udp/SocketUDP.h"
#include "udp/SocketWrenchUDP.h"

#include <QCoreApplication>

namespace ks3 {

namespace {
constexpr const char* kModule = "Frm_MainBis";
} // namespace

Frm_MainBis::Frm_MainBis(QObject* parent) : QObject(parent) {
    for (int n = 0; n < kNombreLignes; ++n) {
        sockets_[n] = new SocketUDP(n, this);
        connect(sockets_[n], &SocketUDP::dataArrival, this, &Frm_MainBis::SocketUDP_DataArrival);
        connect(sockets_[n], &SocketUDP::error, this, &Frm_MainBis::SocketUDP_Error);
        socketsWrench_[n] = new SocketWrenchUDP(n, this);
        connect(socketsWrench_[n], &SocketWrenchUDP::onRead, this, &Frm_MainBis::SocketWrenchUDP_OnRead);
    }
}

Frm_MainBis::~Frm_MainBis() = default;

SocketUDP& Frm_MainBis::socketUDP(int index) {
    return *sockets_.at(static_cast<std::size_t>(index));
}

SocketWrenchUDP& Frm_MainBis::socketWrenchUDP(int index) {
    return *socketsWrench_.at(static_cast<std::size_t>(index));
}

void Frm_MainBis::SendDataUDPSocket(qint16 Index, const QString& AdresseIP, qint32 NoPort,
                                    const QString& Message) {
    Procedure p(kModule, "SendDataUDPSocket");
    const QString adresse = QStringLiteral(" (Address: ") + AdresseIP + QLatin1Char(':') +
                            QString::number(NoPort) + QLatin1Char(')');
    SocketUDP& s = socketUDP(Index);
    auto echec = [&] {
        const SocketErreur& e = s.derniereErreur();
        throw Error(e.numero, e.texte + adresse);
    };
    p.step(10, [&] {
        if (!s.isOpen())
            s.setLocalPort(0);
    });
    p.step(20, [&] {
        s.setRemote(AdresseIP, NoPort);
        if (!s.send(Message))
            echec();
    });
    p.step(30, [] { DoEvents(); });
}

void Frm_MainBis::SendDataUDPSocketWrench(qint16 Index, const QString& AdresseIP, qint32 NoPort,
                                          const QString& Message) {
    Procedure p(kModule, "SendDataUDPSocketWrench");
    if (AdresseIP == QLatin1String("127.0.0.1"))
        return;
    SocketWrenchUDP& s = socketWrenchUDP(Index);
    const auto i = static_cast<std::size_t>(Index);
    const QString destination = AdresseIP + QLatin1Char(':') + QString::number(NoPort);
    auto erreur = [&s](const char* quoi) {
        return QStringLiteral("Err: UDP: SocketWrenchUDP.") + QLatin1String(quoi) + QStringLiteral(": ") +
               QString::number(s.lastError()) + QStringLiteral(": ") + s.lastErrorString() +
               QStringLiteral(" |SubFrm_MainBis:SendDataUDPSocketWrench");
    };
    int resultat = 0;
    p.step(10, [&] {
        if (s.handle() == -1 || (AdresseIP == derniereIPEnvoi_.at(i) && NoPort == dernierPortEnvoi_.at(i)))
            return;
        resultat = s.Disconnect();
        TraceLog(Index, -1, -1,
                 resultat == 0 ? QStringLiteral("UDP: SocketWrenchUDP.Disconnected") : erreur("Disconnect"));
        DoEvents();
    });
    p.step(20, [&] {
        if (s.handle() != -1)
            return;
        resultat = s.Connect(AdresseIP, NoPort, SocketWrenchUDP::kProtocoleUDP);
        TraceLog(Index, -1, -1,
                 resultat == 0 ? QStringLiteral("UDP: SocketWrenchUDP.Connected to: ") + destination
                               : erreur("Connect"));
        DoEvents();
    });
    if (resultat != 0)
        return;
    p.step(30, [&] {
        const QString envoi = trimSpaces(Message).left(1024);
        if (s.Write(envoi, static_cast<int>(envoi.size())) == -1) {
            TraceLog(Index, -1, -1,
                     QStringLiteral("Err: UDP: SocketWrenchUDP.Write: ") + QString::number(s.lastError()) +
                         QStringLiteral(": ") + s.lastErrorString(),
                     true);
            return;
        }
        TraceLog(Index, -1, -1,
                 QStringLiteral("UDP: SocketWrenchUDP.Write: Data Sent to: ") + destination +
                     QStringLiteral(" |Data: ") + Message);
        derniereIPEnvoi_.at(i) = AdresseIP;
        dernierPortEnvoi_.at(i) = NoPort;
        // The receiver gets a little time before the next datagram.
        const std::uint64_t debut = GetTickCount64();
        while (GetTickCount64() - debut <= 200)
            clock().waitWithEvents(10);
    });
    p.step(40, [] { DoEvents(); });
}

void Frm_MainBis::SocketWrenchUDP_OnRead(int Index) {
    Procedure p(kModule, "SocketWrenchUDP_OnRead");
    SocketWrenchUDP& s = socketWrenchUDP(Index);
    p.step(10, [&] { TraceLog(Index, -1, -1, QStringLiteral("UDP: SocketWrenchUDP_OnRead")); });
    QString texte;
    int k = 0;
    p.step(20, [&] { k = s.Read(texte, 1024); });
    const QString erreur = QString::number(s.lastError()) + QStringLiteral(": ") + s.lastErrorString();
    const QString distant = s.peerAddress() + QLatin1Char(':') + QString::number(s.peerPort());
    if (k == -1 && s.lastError() == 10054) {
        p.step(30, [&] {
            TraceLog(Index, -1, -1,
                     QStringLiteral("Err: UDP: SocketWrenchUDP_OnRead: There is no server running on the "
                                    "specified host address and/or port number |Remote: ") +
                         distant,
                     true);
            TraceLog(Index, -1, -1, QStringLiteral("Err: UDP: SocketWrenchUDP_OnRead: ") + erreur);
        });
        p.step(40, [&] {
            if (s.handle() == -1)
                return;
            if (s.Disconnect() == 0)
                TraceLog(Index, -1, -1, QStringLiteral("UDP: SocketWrenchUDP.Disconnect: True"));
            else
                TraceLog(Index, -1, -1,
                         QStringLiteral("Err: UDP: SocketWrenchUDP.Disconnect: ") +
                             QString::number(s.lastError()) + QStringLiteral(": ") + s.lastErrorString() +
                             QStringLiteral(" |SubFrm_MainBis:SocketWrenchUDP_OnRead"));
        });
    } else if (k == -1) {
        p.step(50, [&] {
            TraceLog(Index, -1, -1,
                     QStringLiteral("Err: UDP: SocketWrenchUDP_OnRead: ") + erreur +
                         QStringLiteral("  |Remote: ") + distant +
                         QStringLiteral(" |SubFrm_MainBis:SocketWrenchUDP_OnRead"),
                     true);
        });
    } else if (k > 0) {
        p.step(60, [&] {
            TraceLog(Index, -1, -1, QStringLiteral("UDP: OnRead: Data read from the socket: ") + texte);
            recues_.at(static_cast<std::size_t>(Index)) = texte;
            emit donneeRecue(Index, texte);
        });
        p.step(70, [&] { remettre(Index, texte); });
    }
}

void Frm_MainBis::SocketUDP_DataArrival(int Index, qint64 /*bytesTotal*/) {
    Procedure p(kModule, "SocketUDP_DataArrival");
    const QString texte = socketUDP(Index).getData();
    if (trimSpaces(texte).isEmpty())
        return;
    p.step(10, [&] {
        recues_.at(static_cast<std::size_t>(Index)) = texte;
        emit donneeRecue(Index, texte);
    });
    p.step(20, [&] {
        TraceLog(Index, -1, -1,
                 QStringLiteral("UDP: Data arrival: <From: ") + socketUDP(Index).senderAddress() +
                     QLatin1Char('>') + texte);
    });
    p.step(30, [&] { remettre(Index, texte); });
}

void Frm_MainBis::SocketUDP_Error(int Index, int Number, const QString& Description, const QString& Source) {
    Procedure p(kModule, "SocketUDP_Error");
    p.step(10, [&] {
        TraceLog(Index, -1, -1,
                 QStringLiteral("Err: SocketUDP: Err: ") + QString::number(Number) + QLatin1Char(' ') +
                     Description + QStringLiteral(" Source: ") + Source);
    });
    // The row stays marked active; it is bound again only by unticking and
    // ticking it.
    p.step(20, [&] { socketUDP(Index).close(); });
}

QString Frm_MainBis::LabelDataArrivalUDP(int n) const {
    return labels_.at(static_cast<std::size_t>(n));
}

void Frm_MainBis::setLabelDataArrivalUDP(int n, const QString& texte) {
    QString& label = labels_.at(static_cast<std::size_t>(n));
    if (label == texte)
        return;
    label = texte;
    LabelDataArrivalUDP_Change(n);
}

void Frm_MainBis::LabelDataArrivalUDP_Change(int n) {
    Procedure p(kModule, "LabelDataArrivalUDP_Change");
    const QString texte = LabelDataArrivalUDP(n);
    if (texte.isEmpty())
        return;
    p.step(10, [&] {
        if (gestionnaire_)
            gestionnaire_(n, texte);
        else
            TraceLog(n, -1, -1, QStringLiteral("UDP: Command received: ") + texte);
    });
    p.step(20, [&] { setLabelDataArrivalUDP(n, QString()); });
}

void Frm_MainBis::remettre(int n, const QString& texte) {
    // The label still holds the text while the row handles it: the same text
    // received again meanwhile goes to the handler too, which drops it.
    if (LabelDataArrivalUDP(n) == texte)
        LabelDataArrivalUDP_Change(n);
    else
        setLabelDataArrivalUDP(n, texte);
}

QString Frm_MainBis::TexteUDPDonneeRecues(int n) const {
    return recues_.at(static_cast<std::size_t>(n));
}

void Frm_MainBis::setGestionnaireCommande(GestionnaireCommande g) {
    gestionnaire_ = std::move(g);
}

bool Frm_MainBis::champsVerrouilles(int n) const {
    return verrous_.at(static_cast<std::size_t>(n));
}

void Frm_MainBis::setChampsVerrouilles(int n, bool verrouilles) {
    bool& v = verrous_.at(static_cast<std::size_t>(n));
    if (v == verrouilles)
        return;
    v = verrouilles;
    emit verrouillageChange(n, verrouilles);
}

Frm_MainBis& frmMainBis() {
    static Frm_MainBis* objet = [] {
        auto* o = new Frm_MainBis(QCoreApplication::instance());
        return o;
    }();
    return *objet;
}

} // namespace ks3
