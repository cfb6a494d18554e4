#include "platform/Text1252.h"
#include "support/SignalProcess.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <signal.h>

using namespace ks3;

namespace {

// The program in a folder of its own, its trace logs read back as written.
class UdpProgram : public ::testing::Test {
protected:
    void SetUp() override {
        prog = dir.file("prog/");
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"}) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
            QFile(prog + exe).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
    }

    QString logs() const {
        QString text;
        QDirIterator it(prog, {QStringLiteral("*.Log")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            text += fromCp1252(test::TempDir::read(it.next()));
        return text;
    }

    test::TempDir dir;
    QString prog;
};

TEST_F(UdpProgram, ARowSavedActiveReceivesFromAnotherProcess) {
    const quint16 port = test::portLibre();
    dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini",
              "[UDP_IN]\r\nLib_0=Studio\r\nIP_0=127.0.0.1\r\nPort_0=" + QByteArray::number(port) +
                  "\r\nActif_0=1\r\n");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(prog + "KS3_Tools_Convert", {});
    ASSERT_TRUE(p.waitForStarted());

    // Bound once the system lists a socket on that address and port.
    const bool lie = test::attendre([&] { return test::ecoute(port); }, 30000);
    test::UdpPeer peer;
    peer.envoie(toCp1252(QStringLiteral("PING café 42")), QStringLiteral("127.0.0.1"), port);
    test::attendre([] { return false; }, 500);
    test::signalProcess(p.processId(), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_TRUE(lie) << p.readAll().toStdString();
    EXPECT_TRUE(logs().contains(QStringLiteral("UDP: Data arrival: <From: 127.0.0.1>PING café 42")))
        << logs().toStdString();
}

} // namespace
