// KS3_Tools_Convert --service, the real program and the real converter, with no
// display at all: runs at its timer, listens on its receive rows, and ends in
// order on the system's requests.
#include "platform/Text1252.h"
#include "support/AudioProbe.h"
#include "support/ProgramTraceLog.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using namespace ks3;

namespace {

class ServiceMode : public ::testing::Test {
protected:
    test::TempDir dir;
    QString prog;
    quint16 port = 0;
    // A port that receive row 1 cannot take: its error message is a question
    // that nobody can answer.
    test::UdpPeer occupant;

    void SetUp() override {
        prog = dir.file("prog/");
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"}) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
            QFile(prog + exe).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
        port = test::portLibre();
        // One minute between runs, wav sources to mp3, receive rows 0 and 1 active.
        const QString ini = QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\nFrequence=1\r\n"
                                           "[Fichiers]\r\nSource_8=True\r\nSource_10=True\r\n"
                                           "Source_13=True\r\nCible=2\r\nCibleCaracteristiques=2\r\n"
                                           "CibleExistant=0\r\n"
                                           "[UDP_IN]\r\nIP_0=127.0.0.1\r\nPort_0=%3\r\nActif_0=1\r\n"
                                           "IP_1=127.0.0.1\r\nPort_1=%4\r\nActif_1=1\r\n")
                                .arg(dir.file("in/"), dir.file("out/"))
                                .arg(port)
                                .arg(occupant.port());
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", toCp1252(ini));
        QDir().mkpath(dir.file("in"));
    }

    void source(const QString& name, double seconds) {
        ASSERT_FALSE(test::writeWav(dir.file("in/") + name, test::tone(440, seconds)).isEmpty());
        test::backdateFile(dir.file("in/") + name, 120);
    }

    // The service as systemd starts it on a machine without a desktop: no
    // display, no platform chosen for Qt.
    void start(QProcess& p, int firstRunDelay) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("KS3_TEST_FIRST_RUN_DELAY"), QString::number(firstRunDelay));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(prog + "KS3_Tools_Convert", {QStringLiteral("--service")});
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    void end(QProcess& p, int signalNumber) {
        ASSERT_TRUE(test::signalProcess(p.processId(), signalNumber));
        ASSERT_TRUE(p.waitForFinished(120000)) << "the service did not end";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }

    QStringList targets() const {
        return QDir(dir.file("out")).entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name);
    }

    QString log() const { return test::programTraceLog(prog); }

    static bool waitFor(const QProcess& p, const std::function<bool()>& condition, int ms) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > ms || p.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    // The processes whose parent is pid.
    static bool hasChild(qint64 pid) {
        const QStringList entries =
            QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            const QByteArray stat =
                test::TempDir::read(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
            const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
                return true;
        }
        return false;
    }

    // The unload in order: its two lines, then the record files closed.
    static void expectUnloadInOrder(const QString& log) {
        const qsizetype start = log.indexOf(QStringLiteral("---------- Form_Unload: Start"));
        const qsizetype end = log.indexOf(QStringLiteral("---------- Form_Unload: End"));
        EXPECT_GE(start, 0) << log.toStdString();
        EXPECT_GT(end, start);
        EXPECT_GT(log.indexOf(QStringLiteral("Pervasive files closed")), end);
    }
};

} // namespace

TEST_F(ServiceMode, ConvertsAtItsTimerListensOnItsRowsAndEndsInOrderOnSigterm) {
    source("a.wav", 1.0);
    source("b.wav", 1.5);
    QProcess p;
    start(p, 2);

    // Without a display the core alone runs: no platform plug-in is loaded.
    QThread::msleep(300);
    const QByteArray maps = test::TempDir::read(QStringLiteral("/proc/%1/maps").arg(p.processId()));
    ASSERT_FALSE(maps.isEmpty());
    EXPECT_FALSE(maps.contains("/platforms/")) << "a Qt platform plug-in was loaded";

    // The first run, brought forward to 2 s, converts both sounds.
    ASSERT_TRUE(waitFor(
        p, [&] { return targets().size() == 2; }, 60000))
        << p.readAll().toStdString() << log().toStdString();
    // A sound arriving afterwards waits for the next run, one minute after the first.
    QThread::msleep(1500);
    source("c.wav", 0.8);
    QElapsedTimer sinceFirstRun;
    sinceFirstRun.start();
    ASSERT_TRUE(waitFor(
        p, [&] { return targets().size() == 3; }, 120000))
        << log().toStdString();
    EXPECT_GT(sinceFirstRun.elapsed(), 45000) << "the second run came before the interval";

    // A datagram to receive row 0 reaches its handler.
    test::UdpPeer peer;
    peer.envoie("<Do:Status><Song:TEST>", QStringLiteral("127.0.0.1"), port);
    // Its line reaches the day's file while the service runs: nobody sees a
    // service's lines on a screen, so they are not held until 200 wait.
    const QString arrival = QStringLiteral("UDP: Data arrival: <From: 127.0.0.1><Do:Status><Song:TEST>");
    EXPECT_TRUE(waitFor(
        p, [&] { return log().contains(arrival); }, 10000))
        << log().toStdString();

    end(p, SIGTERM);
    const QString text = log();
    EXPECT_TRUE(text.contains(arrival)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Close asked by the system (signal %1)").arg(SIGTERM)));
    // The message of row 1 was answered at once, in the trace log, and held nothing up.
    const QRegularExpression question(
        QStringLiteral("MsgBox: Erreur avec le SocketUDP # 1: .*\\(Id:(\\d+)\\)"));
    const QRegularExpressionMatch asked = question.match(text);
    ASSERT_TRUE(asked.hasMatch()) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("MsgBox: Id:") + asked.captured(1) + QStringLiteral(" closed")));
    expectUnloadInOrder(text);
    const struct {
        const char* name;
        double seconds;
    } expected[] = {{"a.mp3", 1.0}, {"b.mp3", 1.5}, {"c.mp3", 0.8}};
    for (const auto& e : expected) {
        const test::AudioInfo info = test::probeAudio(dir.file("out/") + e.name);
        ASSERT_TRUE(info.ok) << e.name << ": " << info.error.toStdString();
        EXPECT_TRUE(info.codec.startsWith(QStringLiteral("mp3"))) << e.name;
        EXPECT_NEAR(info.duration, e.seconds, 0.06) << e.name;
    }
}

TEST_F(ServiceMode, RequestOfTheSystemDuringARunEndsItAfterTheCurrentFile) {
    for (const char* name : {"a", "b", "c", "d"})
        source(QLatin1String(name) + QStringLiteral(".wav"), 20.0);
    QString before;
    const int signalNumbers[] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 3; ++i) {
        const int signalNumber = signalNumbers[i];
        SCOPED_TRACE(signalNumber);
        QProcess p;
        start(p, 0);
        // The signal comes while the converter of one file runs.
        ASSERT_TRUE(waitFor(
            p, [&] { return hasChild(p.processId()); }, 60000))
            << log().toStdString();
        end(p, signalNumber);
        const QString text = log().mid(before.size());
        before += text;
        EXPECT_TRUE(text.contains(QStringLiteral("Close asked by the system (signal %1)").arg(signalNumber)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Conversion stoppée")));
        EXPECT_EQ(text.count(QStringLiteral("-convert_to=")), 1);
        expectUnloadInOrder(text);
        ASSERT_EQ(targets().size(), i + 1);
        for (const QString& t : targets()) {
            const test::AudioInfo info = test::probeAudio(dir.file("out/") + t);
            ASSERT_TRUE(info.ok) << t.toStdString() << ": " << info.error.toStdString();
            EXPECT_NEAR(info.duration, 20.0, 0.06) << t.toStdString();
        }
    }
}
