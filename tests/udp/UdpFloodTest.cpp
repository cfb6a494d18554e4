// The window program's receive rows under a flood: 10 000 datagrams, sound
// requests and random bytes mixed, over the loopback, to a row whose request
// is being handled and to a second row. The program must live through it,
// drop (and trace) what reaches a busy row, keep its memory within a stated
// bound, and still answer a request afterwards.
#include "platform/Text1252.h"
#include "support/AudioProbe.h"
#include "support/ProgramFolder.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <random>

using namespace ks3;
using test::ProgramFolder;

namespace {

// Resident memory of a process, in kB (VmRSS of /proc/PID/status).
qint64 residentKb(qint64 pid) {
    const QByteArray status = test::TempDir::read(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Growth of resident memory allowed from before the first request to after
// the flood. Datagrams are taken one at a time and not kept; what grows is the
// trace log waiting for its file and the sound read for its energy file.
// Under AddressSanitizer, freed memory is also held in its quarantine to catch
// late uses: the requests of the flood allocate and free far more than it
// holds, so it fills up whatever its size (256 MB by default). The
// program is given a quarantine of a known size, and the limit grows by twice
// that size: measured, what passes through the quarantine stays resident about
// twice over (its chunks' guard zones and shadow, the allocator's caches).
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kQuarantineMb = 32;
constexpr qint64 kGrowthLimitKb = (64 + 2 * kQuarantineMb) * 1024;
#else
constexpr qint64 kGrowthLimitKb = 64 * 1024;
#endif

class UdpFlood : public ::testing::Test {
protected:
    test::TempDir dir;
    ProgramFolder program{dir};
    test::UdpPeer peer{QStringLiteral("127.0.0.2")}; // replies never go to 127.0.0.1
    QProcess running;
    quint16 port0 = 0, port1 = 0;

    void SetUp() override {
#ifdef __SANITIZE_ADDRESS__
        // Taken by the program started below, not by this process (its own
        // options were read at its start).
        QByteArray options = qgetenv("ASAN_OPTIONS");
        options += (options.isEmpty() ? "" : ":") + QByteArray("quarantine_size_mb=") +
                   QByteArray::number(kQuarantineMb);
        qputenv("ASAN_OPTIONS", options);
#endif
        port0 = test::portLibre();
        port1 = test::portLibre();
        while (port1 == port0)
            port1 = test::portLibre();
        const QString data = dir.file("data/");
        program.writeSettings(QStringLiteral("[UDP_IN]\r\nIP_0=127.0.0.1\r\nPort_0=%1\r\nActif_0=1\r\n"
                                             "IP_1=127.0.0.1\r\nPort_1=%2\r\nActif_1=1\r\n"
                                             "[UDP_OUT]\r\nIP_0=127.0.0.2\r\nPort_0=%3\r\n")
                                  .arg(port0)
                                  .arg(port1)
                                  .arg(peer.port()));
        dir.write("prog/Config/KS3_Systeme.ini", "[Base_01]\r\nNbStation=1\r\n");
        dir.write("prog/Config/BW_SYS.ini",
                  toCp1252(QStringLiteral(
                               "[Repertoires]\r\nREPBTR=%1\r\n[Repertoire_Station_001]\r\nJIN_00=O,%2\r\n")
                               .arg(data, dir.file("sons/"))));
        QDir().mkpath(data);
        records({QStringLiteral("create"), data, QStringLiteral("1")});
        for (const char* song : {"JIN00300", "JIN00400"})
            records({QStringLiteral("put"), data, QStringLiteral("22"), QStringLiteral("1"),
                     QStringLiteral("CodeMorceauChamp=") + QLatin1String(song)});
    }
    void TearDown() override {
        if (running.state() != QProcess::NotRunning) {
            test::signalProcess(running.processId(), SIGKILL);
            running.waitForFinished(10000);
        }
    }

    static void records(const QStringList& arguments) {
        QProcess p;
        p.start(QStringLiteral(KS3_BIN_DIR "/ks3_records"), arguments);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }

    QString source(const QString& name, double seconds) {
        const QString path = dir.file("in/" + name);
        EXPECT_FALSE(test::writeWav(path, test::tone(440, seconds)).isEmpty());
        test::backdateFile(path, 120);
        return path;
    }

    void send(const QString& text, quint16 port) {
        peer.envoie(toCp1252(text), QStringLiteral("127.0.0.1"), port);
    }

    QString reply(int ms) {
        const QNetworkDatagram d = peer.recoit(ms);
        return d.isValid() ? fromCp1252(d.data()) : QString();
    }
};

} // namespace

TEST_F(UdpFlood, TenThousandDatagramsToABusyRowAndAnotherLeaveTheProgramAnswering) {
    const QString longSound = source(QStringLiteral("long.wav"), 180.0);
    const QString shortSound = source(QStringLiteral("short.wav"), 1.0);
    program.start(running, {});
    ASSERT_TRUE(
        ProgramFolder::waitFor([&] { return test::ecoute(port0) && test::ecoute(port1); }, 60000, 20));
    const qint64 before = residentKb(running.processId());
    ASSERT_GT(before, 0);

    // Row 0 busy with a long sound: its copy under the song's name shows the
    // request is being handled.
    const QString busyRequest = QStringLiteral("<Do:Convert><Song:JIN00300><SoundFile:") + longSound + ">";
    send(busyRequest, port0);
    ASSERT_TRUE(
        ProgramFolder::waitFor([&] { return QFileInfo::exists(dir.file("in/JIN00300.wav")); }, 60000));

    std::mt19937 random(1210);
    int sent = 0;
    for (int i = 0; i < 10000; ++i) {
        QByteArray datagram;
        if (i % 3 == 0) {
            // A request of the right form, for a sound that is not there.
            datagram = toCp1252(QStringLiteral("<Do:Convert><Song:JIN00400><SoundFile:%1>")
                                    .arg(dir.file(QStringLiteral("none/%1.wav").arg(i))));
        } else {
            // Random bytes, NUL and undefined Windows-1252 ones included, now and
            // then of the largest size a datagram takes.
            const int size = i % 500 == 1 ? 65507 : std::uniform_int_distribution<int>(1, 1400)(random);
            datagram.resize(size);
            for (char& c : datagram)
                c = char(random() & 0xFF);
        }
        peer.envoie(datagram, QStringLiteral("127.0.0.1"), i % 2 ? port1 : port0);
        ++sent;
        // Short pauses: faster than the program reads, without leaving every
        // datagram to the kernel's full buffers.
        if (i % 50 == 49)
            test::attendre([] { return false; }, 5);
        ASSERT_EQ(running.state(), QProcess::Running) << "died after " << sent << " datagrams";
    }
    ASSERT_TRUE(QFileInfo::exists(dir.file("in/JIN00300.wav")));

    // The busy request still ends with its reply, and memory stayed bounded.
    EXPECT_EQ(reply(300000), QStringLiteral("<Info:Changed><Song:JIN00300>"));
    ASSERT_EQ(running.state(), QProcess::Running);
    const qint64 after = residentKb(running.processId());
    std::cout << "Resident memory: " << before << " kB before, " << after << " kB after the flood\n";
    EXPECT_LT(after - before, kGrowthLimitKb)
        << "resident memory " << before << " kB before, " << after << " kB after";

    // And it still answers, on either row.
    test::attendre([] { return false; }, 2000);
    send(QStringLiteral("<Do:Convert><Song:JIN00400><SoundFile:") + shortSound + ">", port1);
    EXPECT_EQ(reply(120000), QStringLiteral("<Info:Changed><Song:JIN00400>"));
    EXPECT_TRUE(test::probeAudio(dir.file("sons/JIN00400.s48")).ok);

    test::signalProcess(running.processId(), SIGTERM);
    ASSERT_TRUE(running.waitForFinished(60000));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    const QString log = program.traceLog();
    const qsizetype dropped = log.count(QStringLiteral(" But InProcess: Aborted"));
    const qsizetype received = log.count(QStringLiteral("UDP: Receipt: "));
    std::cout << "Datagrams received: " << received << " of " << sent + 2
              << ", dropped on a busy row: " << dropped << "\n";
    EXPECT_GT(dropped, 0) << "no drop traced";
    EXPECT_TRUE(log.contains(QStringLiteral("UDP: Err: File not found: ") + dir.file("none/")));
    EXPECT_TRUE(log.contains(QStringLiteral("UDP: Receipt: ") + busyRequest));
}
