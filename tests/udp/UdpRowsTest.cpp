#include "support/UdpPeer.h"

#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "platform/Text1252.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"
#include "udp/CodeVersionOS.h"
#include "udp/Frm_MainBis.h"
#include "udp/SocketUDP.h"
#include "udp/SocketWrenchUDP.h"
#include "udp/UdpRows.h"

#include <QList>
#include <QPair>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;
using I = SettingId;

namespace {

using Recu = QPair<int, QString>;

// The rows on real sockets of the loopback network; the command handler keeps
// what each row hands over.
class UdpRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetTraceLog();
        settings().setChargementSetup(false);
        settings().reinitialiser();
        LierCasesActivationUDP();
        frmMainBis().setGestionnaireCommande([this](int n, const QString& t) { recus.append({n, t}); });
    }
    void TearDown() override {
        for (int n = 0; n < Frm_MainBis::kNombreLignes; ++n) {
            settings().setNumber(I::UdpInActif, n, 0);
            frmMainBis().socketUDP(n).close();
        }
        frmMainBis().setGestionnaireCommande({});
        settings().reinitialiser();
        resetTraceLog();
    }
    static void active(int n, const QString& adresse, const QString& port) {
        settings().setText(I::UdpInIP, n, adresse);
        settings().setText(I::UdpInPort, n, port);
        settings().setNumber(I::UdpInActif, n, 1);
    }
    static void active(int n, const QString& adresse, quint16 port) {
        active(n, adresse, QString::number(port));
    }
    static void destination(int n, const QString& adresse, const QString& port) {
        settings().setText(I::UdpOutIP, n, adresse);
        settings().setText(I::UdpOutPort, n, port);
    }
    static bool lie(int n) { return frmMainBis().socketUDP(n).isOpen(); }

    ScriptedMessageBoxService boites;
    ServicesGuard services{[this](Services& s) { s.questions = &boites; }};
    QList<Recu> recus;
};

TEST_F(UdpRowsTest, EveryTextReceivedIsShownTracedAndHandedOverEvenTwice) {
    const quint16 port = portLibre();
    active(2, QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(lie(2));
    EXPECT_TRUE(frmMainBis().champsVerrouilles(2));

    UdpPeer peer;
    const QString texte = QStringLiteral("CONVERT café €");
    peer.envoie(toCp1252(texte), QStringLiteral("127.0.0.1"), port);
    peer.envoie(toCp1252(texte), QStringLiteral("127.0.0.1"), port);
    // Only spaces: shown nowhere, handed to nobody.
    peer.envoie("     ", QStringLiteral("127.0.0.1"), port);
    peer.envoie("NEXT", QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(attendre([&] { return recus.size() == 3; }));
    EXPECT_EQ(recus, (QList<Recu>{{2, texte}, {2, texte}, {2, QStringLiteral("NEXT")}}));
    EXPECT_EQ(frmMainBis().TexteUDPDonneeRecues(2), QStringLiteral("NEXT"));
    EXPECT_TRUE(frmMainBis().LabelDataArrivalUDP(2).isEmpty());
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: Data arrival: <From: 127.0.0.1>") + texte));
    EXPECT_FALSE(tracedEnding(QStringLiteral("<From: 127.0.0.1>     ")));

    // Unticking unbinds and frees the fields.
    settings().setNumber(I::UdpInActif, 2, 0);
    EXPECT_FALSE(lie(2));
    EXPECT_FALSE(frmMainBis().champsVerrouilles(2));
    QUdpSocket reprise;
    EXPECT_TRUE(reprise.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress));
}

TEST_F(UdpRowsTest, TheDefaultHandlerTracesTheCommand) {
    frmMainBis().setGestionnaireCommande({});
    const quint16 port = portLibre();
    active(0, QStringLiteral("127.0.0.1"), port);
    UdpPeer peer;
    peer.envoie("PING", QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(attendre([] { return tracedEnding(QStringLiteral("UDP: Command received: PING")); }));
    EXPECT_TRUE(frmMainBis().LabelDataArrivalUDP(0).isEmpty());
}

TEST_F(UdpRowsTest, AnyDatagramUpToTheLargestIsHandedOverWithoutHoldingUpTheOtherRows) {
    const quint16 grand = portLibre();
    active(0, QStringLiteral("127.0.0.1"), grand);
    const quint16 petit = portLibre();
    active(1, QStringLiteral("127.0.0.1"), petit);
    QByteArray octets(65507, 'A');
    octets[10] = '\0';
    octets[20] = '\x81'; // undefined in Windows-1252
    octets[30] = '\x8D';
    octets[40] = '\x80';
    UdpPeer peer;
    peer.envoie(octets, QStringLiteral("127.0.0.1"), grand);
    peer.envoie("small", QStringLiteral("127.0.0.1"), petit);
    ASSERT_TRUE(attendre([&] { return recus.size() == 2; }));
    for (const Recu& r : recus) {
        if (r.first == 1) {
            EXPECT_EQ(r.second, QStringLiteral("small"));
            continue;
        }
        EXPECT_EQ(r.second.size(), 65507);
        EXPECT_EQ(r.second.at(10), QChar(0));
        EXPECT_EQ(r.second.at(40), QChar(0x20AC));
    }
}

TEST_F(UdpRowsTest, ARowListensOnlyOnItsOwnAddress) {
    const quint16 port = portLibre(QStringLiteral("127.0.0.2"));
    active(0, QStringLiteral("127.0.0.2"), port);
    ASSERT_TRUE(lie(0));
    // The same port stays free on the other addresses.
    QUdpSocket voisin;
    EXPECT_TRUE(
        voisin.bind(QHostAddress(QStringLiteral("127.0.0.1")), port, QAbstractSocket::DontShareAddress));
    voisin.close();

    UdpPeer peer;
    peer.envoie("to one", QStringLiteral("127.0.0.1"), port);
    peer.envoie("to two", QStringLiteral("127.0.0.2"), port);
    ASSERT_TRUE(attendre([&] { return !recus.isEmpty(); }));
    attendre([] { return false; }, 200);
    EXPECT_EQ(recus, (QList<Recu>{{0, QStringLiteral("to two")}}));
}

TEST_F(UdpRowsTest, ARowWithoutAddressOrPortStaysTickedUnboundAndEditable) {
    struct Cas {
        const char* adresse;
        const char* port;
        bool sansAdresse;
        bool sansPort;
    };
    const QString ligneAdresse =
        QStringLiteral("Err: Unable to Check CheckUDPInActif because of IP source is empty");
    const QString lignePort =
        QStringLiteral("Err: Unable to Check CheckUDPInActif because of Port source is empty");
    for (const Cas& c :
         {Cas{"   ", "5000", true, false}, Cas{"127.0.0.1", "", false, true}, Cas{"", "  ", true, true}}) {
        SCOPED_TRACE(std::string(c.adresse) + "|" + c.port);
        resetTraceLog();
        active(5, QString::fromLatin1(c.adresse), QString::fromLatin1(c.port));
        EXPECT_TRUE(settings().isOn(I::UdpInActif, 5));
        EXPECT_FALSE(lie(5));
        EXPECT_FALSE(frmMainBis().champsVerrouilles(5));
        EXPECT_EQ(tracedEnding(ligneAdresse), c.sansAdresse);
        EXPECT_EQ(tracedEnding(lignePort), c.sansPort);
        settings().setNumber(I::UdpInActif, 5, 0);
    }
    EXPECT_TRUE(boites.seen().isEmpty());
}

TEST_F(UdpRowsTest, AFailedBindIsTracedAndShownInAMessageThatClosesItself) {
    UdpPeer occupant;
    struct Cas {
        QString adresse;
        quint16 port;
        QString ligne;
        QString message;
    };
    const QList<Cas> cas = {
        {QStringLiteral("127.0.0.1"), occupant.port(),
         QStringLiteral("Err: SocketUDP # 4: Err: 10048 Address in use |Line: 30"),
         QStringLiteral("Erreur avec le SocketUDP # 4: Err: 10048")},
        // An address of no interface of this computer.
        {QStringLiteral("192.0.2.1"), portLibre(),
         QStringLiteral("Err: SocketUDP # 4: Err: 10049 Address not available |Line: 30"),
         QStringLiteral("Erreur avec le SocketUDP # 4: Err: 10049")},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.ligne.toStdString());
        resetTraceLog();
        boites.clear();
        active(4, c.adresse, c.port);
        EXPECT_TRUE(settings().isOn(I::UdpInActif, 4));
        EXPECT_FALSE(lie(4));
        EXPECT_FALSE(frmMainBis().champsVerrouilles(4));
        EXPECT_TRUE(tracedEnding(c.ligne)) << tracedLines().join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(boites.seen().size(), 1);
        const ChoiceBoxRequest& r = boites.seen().front();
        EXPECT_TRUE(r.message.startsWith(c.message)) << r.message.toStdString();
        EXPECT_TRUE(r.noWait);
        EXPECT_EQ(r.timeoutMs, 5000);
        EXPECT_EQ(r.icon, 48);
        EXPECT_EQ(r.buttons, QStringList{QStringLiteral("Ok")});
        settings().setNumber(I::UdpInActif, 4, 0);
    }
}

TEST_F(UdpRowsTest, ATextLeavesWholeInWindows1252FromTheRowsBoundPort) {
    UdpPeer peer;
    destination(1, QStringLiteral("127.0.0.1"), QString::number(peer.port()));
    const QString long1500 = QStringLiteral("  é€") + QString(1496, QLatin1Char('x'));
    SendMessageUDP(1, long1500);
    const QNetworkDatagram d = peer.recoit();
    ASSERT_TRUE(d.isValid());
    EXPECT_EQ(d.data(), toCp1252(long1500));
    EXPECT_EQ(d.data().size(), 1500);

    // A bound row sends from its own address and port.
    const quint16 port = portLibre();
    active(3, QStringLiteral("127.0.0.1"), port);
    destination(3, QStringLiteral("127.0.0.1"), QString::number(peer.port()));
    SendMessageUDP(3, QStringLiteral("REPLY"));
    const QNetworkDatagram r = peer.recoit();
    ASSERT_TRUE(r.isValid());
    EXPECT_EQ(r.senderPort(), port);
    EXPECT_EQ(r.data(), QByteArray("REPLY"));
}

TEST_F(UdpRowsTest, SendMessageNeedsAPortWhileEnvoyerSendsToWhatThePortReads) {
    UdpPeer peer;
    for (const char* port : {"", "0", "abc", "-5"}) {
        SCOPED_TRACE(port);
        destination(6, QStringLiteral("127.0.0.1"), QString::fromLatin1(port));
        resetTraceLog();
        SendMessageUDP(6, QStringLiteral("HELLO"));
        EXPECT_FALSE(frmMainBis().socketUDP(6).isOpen());
        EXPECT_TRUE(tracedLines().isEmpty());
    }
    // "Envoyer" goes to port 0, which the system refuses: the error names it.
    destination(6, QStringLiteral("127.0.0.1"), QStringLiteral("0"));
    settings().setText(I::UdpOutMsg, 6, QStringLiteral("HELLO"));
    resetTraceLog();
    BtnUDPSend_Click(6);
    EXPECT_TRUE(tracedLines().join(QLatin1Char('\n')).contains(QStringLiteral("(Address: 127.0.0.1:0)")))
        << tracedLines().join(QLatin1Char('\n')).toStdString();

    // A blank text is not sent; any other leaves as it is written.
    destination(6, QStringLiteral("127.0.0.1"), QString::number(peer.port()) + QStringLiteral("xyz"));
    settings().setText(I::UdpOutMsg, 6, QStringLiteral("    "));
    BtnUDPSend_Click(6);
    settings().setText(I::UdpOutMsg, 6, QStringLiteral(" HI "));
    BtnUDPSend_Click(6);
    const QNetworkDatagram d = peer.recoit();
    ASSERT_TRUE(d.isValid());
    EXPECT_EQ(d.data(), QByteArray(" HI "));
    EXPECT_FALSE(peer.recoit(200).isValid());
}

// The same rows on the connection-style back-end (CodeVersionOS 10), with the
// pause after each write on a clock of the test's own.
class UdpRowsConnectesTest : public UdpRowsTest {
protected:
    void SetUp() override {
        CodeVersionOS() = 10;
        UdpRowsTest::SetUp();
    }
    void TearDown() override {
        UdpRowsTest::TearDown();
        for (int n = 0; n < Frm_MainBis::kNombreLignes; ++n)
            frmMainBis().socketWrenchUDP(n).Disconnect();
        CodeVersionOS() = 0;
    }
    static int handle(int n) { return frmMainBis().socketWrenchUDP(n).handle(); }
    static int compte(const QString& fin) {
        int c = 0;
        for (const QString& l : tracedLines())
            c += l.endsWith(fin) ? 1 : 0;
        return c;
    }

    test::ManualClock horloge;
};

TEST_F(UdpRowsConnectesTest, ABoundRowHandsOverEveryReadUpTo1024Bytes) {
    const quint16 port = portLibre();
    active(2, QStringLiteral("127.0.0.1"), port);
    const QString cible =
        QStringLiteral("127.0.0.1:") + QString::number(port) + QStringLiteral(" (Index: 2)");
    EXPECT_EQ(tracedLines()
                  .mid(tracedLines().size() - 3)
                  .join(QLatin1Char('|'))
                  .count(QStringLiteral("SocketWrench")),
              3);
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP.Disconnected")));
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP: Try to Bind: ") + cible));
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP.Binded to: ") + cible));
    EXPECT_NE(handle(2), -1);
    EXPECT_TRUE(frmMainBis().champsVerrouilles(2));

    UdpPeer peer;
    peer.envoie("   ", QStringLiteral("127.0.0.1"), port);
    peer.envoie("HELLO", QStringLiteral("127.0.0.1"), port);
    peer.envoie("HELLO", QStringLiteral("127.0.0.1"), port);
    peer.envoie(QByteArray(1500, 'z'), QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(attendre([&] { return recus.size() == 4; }));
    EXPECT_EQ(recus, (QList<Recu>{{2, QStringLiteral("   ")},
                                  {2, QStringLiteral("HELLO")},
                                  {2, QStringLiteral("HELLO")},
                                  {2, QString(1024, QLatin1Char('z'))}}));
    EXPECT_EQ(compte(QStringLiteral("UDP: OnRead: Data read from the socket: HELLO")), 2);
    EXPECT_EQ(frmMainBis().TexteUDPDonneeRecues(2), QString(1024, QLatin1Char('z')));

    settings().setNumber(I::UdpInActif, 2, 0);
    EXPECT_EQ(handle(2), -1);
    EXPECT_FALSE(frmMainBis().champsVerrouilles(2));
}

TEST_F(UdpRowsConnectesTest, TheSameTextReadAgainWhileItIsHandledStillReachesTheHandler) {
    // The row's label holds the text until its handling ends: the same text
    // read meanwhile is handed over too, so that the handler can drop it
    // with its trace entry.
    const quint16 port = portLibre();
    active(2, QStringLiteral("127.0.0.1"), port);
    UdpPeer peer;
    int profondeur = 0;
    QList<int> profondeurs;
    frmMainBis().setGestionnaireCommande([&](int n, const QString& t) {
        ++profondeur;
        recus.append({n, t});
        profondeurs.append(profondeur);
        if (recus.size() == 1) {
            peer.envoie("HELLO", QStringLiteral("127.0.0.1"), port);
            attendre([&] { return recus.size() == 2; });
        }
        --profondeur;
    });
    peer.envoie("HELLO", QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(attendre([&] { return recus.size() == 2; }));
    EXPECT_EQ(recus, (QList<Recu>{{2, QStringLiteral("HELLO")}, {2, QStringLiteral("HELLO")}}));
    EXPECT_EQ(profondeurs, (QList<int>{1, 2}));
}

TEST_F(UdpRowsConnectesTest, AFailedBindIsTracedWithoutAMessage) {
    UdpPeer occupant;
    active(4, QStringLiteral("127.0.0.1"), occupant.port());
    EXPECT_TRUE(
        tracedEnding(QStringLiteral("Err: UDP: SocketWrenchUDP.Bind: 10048: Address in use (Index: 4) "
                                    "|SubFrmSetup:CheckUDPInActif_Click")));
    EXPECT_EQ(handle(4), -1);
    EXPECT_FALSE(frmMainBis().champsVerrouilles(4));
    EXPECT_TRUE(settings().isOn(I::UdpInActif, 4));
    EXPECT_TRUE(boites.seen().isEmpty());
}

TEST_F(UdpRowsConnectesTest, SendsConnectOncePerDestinationAndNeverTo127001) {
    UdpPeer un(QStringLiteral("127.0.0.2"));
    UdpPeer deux(QStringLiteral("127.0.0.2"));

    destination(7, QStringLiteral("127.0.0.1"), QString::number(un.port()));
    SendMessageUDP(7, QStringLiteral("LOCAL"));
    EXPECT_EQ(handle(7), -1);
    EXPECT_TRUE(tracedLines().isEmpty());

    destination(7, QStringLiteral("127.0.0.2"), QString::number(un.port()));
    const QString long1500 = QStringLiteral("   ") + QString(1500, QLatin1Char('m'));
    const std::uint64_t avant = GetTickCount64();
    SendMessageUDP(7, long1500);
    EXPECT_GT(GetTickCount64() - avant, 200u);
    SendMessageUDP(7, QStringLiteral("SECOND"));
    const QString versUn = QStringLiteral("127.0.0.2:") + QString::number(un.port());
    EXPECT_EQ(compte(QStringLiteral("UDP: SocketWrenchUDP.Connected to: ") + versUn), 1);
    EXPECT_EQ(compte(QStringLiteral("UDP: SocketWrenchUDP.Disconnected")), 0);
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP.Write: Data Sent to: ") + versUn +
                             QStringLiteral(" |Data: ") + long1500));
    EXPECT_EQ(un.recoit().data(), QByteArray(1024, 'm'));
    EXPECT_EQ(un.recoit().data(), QByteArray("SECOND"));
    EXPECT_EQ(frmMainBis().DerniereIPEnvoi(7), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(frmMainBis().DernierPortEnvoi(7), un.port());

    // Another port: disconnected and connected again.
    destination(7, QStringLiteral("127.0.0.2"), QString::number(deux.port()));
    SendMessageUDP(7, QStringLiteral("THIRD"));
    EXPECT_EQ(compte(QStringLiteral("UDP: SocketWrenchUDP.Disconnected")), 1);
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP.Connected to: 127.0.0.2:") +
                             QString::number(deux.port())));
    EXPECT_EQ(deux.recoit().data(), QByteArray("THIRD"));
    EXPECT_EQ(frmMainBis().DernierPortEnvoi(7), deux.port());
}

TEST_F(UdpRowsConnectesTest, ADatagramRefusedByItsDestinationIsReportedAtTheNextRead) {
    const quint16 personne = portLibre(QStringLiteral("127.0.0.3"));
    destination(8, QStringLiteral("127.0.0.3"), QString::number(personne));
    SendMessageUDP(8, QStringLiteral("ANYONE?"));
    const QString distant = QStringLiteral("127.0.0.3:") + QString::number(personne);
    EXPECT_TRUE(attendre([] { return handle(8) == -1; }));
    EXPECT_TRUE(tracedEnding(QStringLiteral("Err: UDP: SocketWrenchUDP_OnRead: There is no server running on "
                                            "the specified host address and/or port number |Remote: ") +
                             distant));
    EXPECT_TRUE(tracedEnding(
        QStringLiteral("Err: UDP: SocketWrenchUDP_OnRead: 10054: Connection reset by the remote side")));
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: SocketWrenchUDP.Disconnect: True")));
    EXPECT_TRUE(recus.isEmpty());
}

} // namespace

TEST(CodeVersionOSTest, TheRegistryFileChoosesTheBackEnd) {
    test::TempDir dir;
    programValues().dossierProgramme = dir.path();
    LireCodeVersionOS();
    EXPECT_EQ(CodeVersionOS(), 0);
    EXPECT_FALSE(backEndConnecte());
    ASSERT_TRUE(EcrireRegistre(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Kestrel"),
                               QStringLiteral("CodeVersionOS"), QStringLiteral("10")));
    LireCodeVersionOS();
    EXPECT_EQ(CodeVersionOS(), 10);
    EXPECT_TRUE(backEndConnecte());
    CodeVersionOS() = 0;
    programValues().dossierProgramme.clear();
}
