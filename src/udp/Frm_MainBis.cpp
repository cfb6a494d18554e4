#include "udp/Frm_MainBis.h"

#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"
#include "udp/SocketUDP.h"

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
    }
}

Frm_MainBis::~Frm_MainBis() = default;

SocketUDP& Frm_MainBis::socketUDP(int index) {
    return *sockets_.at(static_cast<std::size_t>(index));
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
    p.step(30, [&] { setLabelDataArrivalUDP(Index, texte); });
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
