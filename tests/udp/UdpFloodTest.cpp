// The window program's receive rows under a flood: 10 000 datagrams, request
// texts and random bytes mixed, to two rows at once, over the loopback. The
// program must live through it, keep its memory within a stated bound, and
// still take a datagram afterwards.
#include "platform/Text1252.h"
#include "support/ProgramFolder.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <random>

using namespace ks3;
using test::ProgramFolder;

namespace {

// Whether a UDP socket of this computer listens on 127.0.0.1:port.
bool listens(quint16 port) {
    QFile f(QStringLiteral("/proc/net/udp"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 1 && fields.at(1) == local)
            return true;
    }
    return false;
}

// Resident memory of a process, in kB (VmRSS of /proc/PID/status).
qint64 residentKb(qint64 pid) {
    const QByteArray status = test::TempDir::read(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Growth of resident memory allowed over the whole flood. The datagrams are
// taken one at a time and not kept; what grows is the trace log waiting for
// its file, at most a few MB for 10 000 lines.
constexpr qint64 kGrowthLimitKb = 64 * 1024;

class UdpFlood : public ::testing::Test {
protected:
    test::TempDir dir;
    ProgramFolder program{dir};
    QProcess running;
    quint16 port0 = 0, port1 = 0;

    void SetUp() override {
        port0 = test::portLibre();
        port1 = test::portLibre();
        while (port1 == port0)
            port1 = test::portLibre();
        program.writeSettings(QStringLiteral("[UDP_IN]\r\nIP_0=127.0.0.1\r\nPort_0=%1\r\nActif_0=1\r\n"
                                             "IP_1=127.0.0.1\r\nPort_1=%2\r\nActif_1=1\r\n")
                                  .arg(port0)
                                  .arg(port1));
    }
    void TearDown() override {
        if (running.state() != QProcess::NotRunning) {
            ::kill(pid_t(running.processId()), SIGKILL);
            running.waitForFinished(10000);
        }
    }
};

} // namespace

TEST_F(UdpFlood, TenThousandDatagramsToTwoRowsLeaveTheProgramAliveBoundedAndListening) {
    program.start(running, {});
    ASSERT_TRUE(ProgramFolder::waitFor([&] { return listens(port0) && listens(port1); }, 60000, 20));
    const qint64 before = residentKb(running.processId());
    ASSERT_GT(before, 0);

    std::mt19937 random(1210);
    test::UdpPeer peer;
    int sent = 0;
    for (int i = 0; i < 10000; ++i) {
        QByteArray datagram;
        if (i % 3 == 0) {
            datagram = toCp1252(QStringLiteral("<Do:Convert><Song:FL%1><SoundFile:%2>")
                                    .arg(i, 6, 10, QLatin1Char('0'))
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
        // Short pauses: the flood goes faster than the program reads, without
        // leaving every datagram to the kernel's full buffer.
        if (i % 50 == 49)
            test::attendre([] { return false; }, 5);
        ASSERT_EQ(running.state(), QProcess::Running) << "died after " << sent << " datagrams";
    }
    // Let it read what is waiting.
    test::attendre([] { return false; }, 3000);
    ASSERT_EQ(running.state(), QProcess::Running);
    const qint64 after = residentKb(running.processId());
    std::cout << "Resident memory: " << before << " kB before the flood, " << after << " kB after\n";
    EXPECT_LT(after - before, kGrowthLimitKb)
        << "resident memory " << before << " kB before, " << after << " kB after";

    // Still listening on both rows afterwards.
    peer.envoie("FLOOD-END row 0", QStringLiteral("127.0.0.1"), port0);
    peer.envoie("FLOOD-END row 1", QStringLiteral("127.0.0.1"), port1);
    test::attendre([] { return false; }, 1000);
    ::kill(pid_t(running.processId()), SIGTERM);
    ASSERT_TRUE(running.waitForFinished(60000));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    const QString log = program.traceLog();
    EXPECT_TRUE(log.contains(QStringLiteral("UDP: Data arrival: <From: 127.0.0.1>FLOOD-END row 0")));
    EXPECT_TRUE(log.contains(QStringLiteral("UDP: Data arrival: <From: 127.0.0.1>FLOOD-END row 1")));
    const qsizetype read = log.count(QStringLiteral("UDP: Data arrival: "));
    std::cout << "Datagrams traced: " << read << " of " << sent + 2 << "\n";
    EXPECT_GT(read, 100) << "the flood did not reach the rows";
}
