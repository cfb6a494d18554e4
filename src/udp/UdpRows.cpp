#include "udp/UdpRows.h"

#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/LeadingNumber.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"
#include "settings/Settings.h"
#include "udp/CodeVersionOS.h"
#include "udp/Frm_MainBis.h"
#include "udp/SocketUDP.h"
#include "udp/SocketWrenchUDP.h"

#include <cmath>
#include <limits>

namespace ks3 {

namespace {
using I = SettingId;
constexpr const char* kModule = "FrmSetup";

// A port text as a 32-bit number: its leading number, truncated.
qint32 valeurPort(const QString& texte) {
    const double v = std::trunc(leadingNumber(texte));
    if (!std::isfinite(v) || v > std::numeric_limits<qint32>::max() || v < std::numeric_limits<qint32>::min())
        return 0;
    return static_cast<qint32>(v);
}

// Disconnects the row's connection-style socket, with its line (tagged).
void deconnecte(int Index) {
    SocketWrenchUDP& w = frmMainBis().socketWrenchUDP(Index);
    if (w.Disconnect() == 0)
        TraceLog(Index, -1, -1, QStringLiteral("UDP: SocketWrenchUDP.Disconnected"));
    else
        TraceLog(Index, -1, -1,
                 QStringLiteral("Err: UDP: SocketWrenchUDP.Disconnect: ") + QString::number(w.lastError()) +
                     QStringLiteral(": ") + w.lastErrorString() +
                     QStringLiteral(" |SubFrmSetup:CheckUDPInActif_Click"));
}

// Binds the row's connection-style socket, with its lines (untagged).
void lieConnecte(int Index, const QString& adresse, const QString& port) {
    SocketWrenchUDP& w = frmMainBis().socketWrenchUDP(Index);
    const QString cible = adresse + QLatin1Char(':') + port + QStringLiteral(" (Index: ") +
                          QString::number(Index) + QLatin1Char(')');
    w.setBlocking(false);
    TraceLog(-1, -1, -1, QStringLiteral("UDP: SocketWrenchUDP: Try to Bind: ") + cible);
    if (w.Bind(adresse, valeurPort(port), SocketWrenchUDP::kProtocoleUDP) == 0) {
        TraceLog(-1, -1, -1, QStringLiteral("UDP: SocketWrenchUDP.Binded to: ") + cible);
        frmMainBis().setChampsVerrouilles(Index, true);
        return;
    }
    const QString debut = w.lastError() == 11001 ? QStringLiteral("Warning: UDP: SocketWrenchUDP.Bind: ")
                                                 : QStringLiteral("Err: UDP: SocketWrenchUDP.Bind: ");
    TraceLog(-1, -1, -1,
             debut + QString::number(w.lastError()) + QStringLiteral(": ") + w.lastErrorString() +
                 QStringLiteral(" (Index: ") + QString::number(Index) +
                 QStringLiteral(") |SubFrmSetup:CheckUDPInActif_Click"));
}

// The send of the back-end in use.
void envoie(int Index, const QString& adresse, qint32 port, const QString& texte) {
    if (backEndConnecte())
        frmMainBis().SendDataUDPSocketWrench(static_cast<qint16>(Index), adresse, port, texte);
    else
        frmMainBis().SendDataUDPSocket(static_cast<qint16>(Index), adresse, port, texte);
}
} // namespace

void CheckUDPInActif_Click(int Index) {
    Procedure p(kModule, "CheckUDPInActif_Click");
    Settings& s = settings();
    Frm_MainBis& bis = frmMainBis();
    SocketUDP& socket = bis.socketUDP(Index);
    if (s.isOn(I::UdpInActif, Index)) {
        const QString adresse = s.text(I::UdpInIP, Index);
        const QString port = s.text(I::UdpInPort, Index);
        const bool sansAdresse = trimSpaces(adresse).isEmpty();
        const bool sansPort = trimSpaces(port).isEmpty();
        if (sansAdresse || sansPort) {
            p.step(10, [&] {
                if (sansAdresse)
                    TraceLog(
                        -1, -1, -1,
                        QStringLiteral("Err: Unable to Check CheckUDPInActif because of IP source is empty"));
                if (sansPort)
                    TraceLog(-1, -1, -1,
                             QStringLiteral(
                                 "Err: Unable to Check CheckUDPInActif because of Port source is empty"));
            });
        } else if (backEndConnecte()) {
            p.step(15, [&] {
                deconnecte(Index);
                if (bis.socketWrenchUDP(Index).handle() == -1)
                    lieConnecte(Index, adresse, port);
            });
        } else {
            p.step(20, [&] { socket.close(); });
            bool lie = false;
            p.step(30, [&] { lie = socket.bind(port, adresse); });
            if (lie) {
                p.step(40, [&] { bis.setChampsVerrouilles(Index, true); });
            } else {
                p.step(50, [&] {
                    const SocketErreur& e = socket.derniereErreur();
                    TraceLog(-1, -1, -1,
                             QStringLiteral("Err: SocketUDP # ") + QString::number(Index) +
                                 QStringLiteral(": Err: ") + QString::number(e.numero) + QLatin1Char(' ') +
                                 e.texte + QStringLiteral(" |Line: 30"));
                    AffMsg(QStringLiteral("Erreur avec le SocketUDP # ") + QString::number(Index) +
                               QStringLiteral(": Err: ") + QString::number(e.numero) +
                               QStringLiteral("\r\n") + e.texte,
                           65584, programValues().titreFenetre, true, 5000, -1);
                });
            }
        }
    } else {
        p.step(60, [&] {
            if (backEndConnecte())
                deconnecte(Index);
            else
                socket.close();
        });
        p.step(70, [&] { bis.setChampsVerrouilles(Index, false); });
    }
    p.step(80, [&] {
        if (!s.chargementSetup())
            s.setSetupModifie(true);
    });
}

void LierCasesActivationUDP() {
    static bool lie = false;
    if (lie)
        return;
    lie = true;
    QObject::connect(&settings(), &Settings::changed, &frmMainBis(), [](SettingId id, int n) {
        if (id == I::UdpInActif)
            CheckUDPInActif_Click(n);
    });
}

void SendMessageUDP(int NoAdresse, const QString& Chaine) {
    Procedure p(kModule, "SendMessageUDP");
    p.step(10, [&] {
        const qint32 port = valeurPort(settings().text(I::UdpOutPort, NoAdresse));
        if (port > 0)
            envoie(NoAdresse, settings().text(I::UdpOutIP, NoAdresse), port, Chaine);
    });
    p.step(20, [] { DoEvents(); });
}

void BtnUDPSend_Click(int Index) {
    Procedure p(kModule, "BtnUDPSend_Click");
    p.step(10, [&] {
        const Settings& s = settings();
        const QString texte = s.text(I::UdpOutMsg, Index);
        if (trimSpaces(texte).isEmpty())
            return;
        envoie(Index, s.text(I::UdpOutIP, Index), valeurPort(s.text(I::UdpOutPort, Index)), texte);
    });
}

} // namespace ks3
