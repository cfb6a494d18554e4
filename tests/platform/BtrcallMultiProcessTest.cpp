#include "platform/Btrcall.h"

#include "BtrTestFile.h"
#include "BtrTestPlace.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace ks3;
using namespace ks3::btr;
using ks3::test::BtrCursor;
using ks3::test::peerCode;
using ks3::test::peerRecord;

namespace {

const QString peerProgram = QStringLiteral(KS3_BIN_DIR "/btr_peer");

// The next whole line of the peer's output ("" when it ends first).
QByteArray nextLine(QProcess& p) {
    while (!p.canReadLine())
        if (!p.waitForReadyRead(30000))
            return QByteArray();
    return p.readLine().trimmed();
}

class RecordManagerProcesses : public ::testing::TestWithParam<test::Backend> {
protected:
    test::RecordPlace place{GetParam()};
    QString path = place.file(QStringLiteral("FRAD041.bt6"));
    BtrCursor c{test::PeerRecordLength};

    void SetUp() override {
        ASSERT_TRUE(place.error().isEmpty()) << place.error().toStdString();
        ASSERT_EQ(test::createFile(path, test::peerDefinition()), StatusSuccess);
        ASSERT_EQ(c.open(path), StatusSuccess);
    }
    void TearDown() override { c.call(OpStop, 0); }
};

TEST_P(RecordManagerProcesses, RecordChangedByAnotherProcessIsAConflictUntilReRead) {
    const QByteArray code = peerCode(1);
    ASSERT_EQ(c.insert(peerRecord(code, "Start")), StatusSuccess);
    ASSERT_EQ(c.get(OpGetEqual, 0, code), StatusSuccess);

    QProcess peer;
    peer.start(peerProgram,
               {QStringLiteral("update"), path, QString::fromLatin1(code), QStringLiteral("Other")});
    ASSERT_TRUE(peer.waitForFinished(30000));
    ASSERT_EQ(peer.readAllStandardOutput().trimmed(), "0");

    EXPECT_EQ(c.update(peerRecord(code, "Mine")), StatusRecordConflict);
    EXPECT_EQ(c.remove(), StatusRecordConflict);
    ASSERT_EQ(c.get(OpGetEqual, 0, code), StatusSuccess);
    EXPECT_EQ(c.record, peerRecord(code, "Other"));
    ASSERT_EQ(c.update(peerRecord(code, "Mine")), StatusSuccess);
    ASSERT_EQ(c.get(OpGetEqual, 0, code), StatusSuccess);
    EXPECT_EQ(c.record, peerRecord(code, "Mine"));
}

TEST_P(RecordManagerProcesses, FileHeldByAnotherWriterIsLockedThenFree) {
    test::ManualClock clock; // the busy wait on a file goes through it: no real waiting there
    QProcess peer;
    peer.start(peerProgram, {QStringLiteral("hold"), path, QString::fromLatin1(peerCode(2))});
    ASSERT_EQ(nextLine(peer), "held 0");

    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(c.insert(peerRecord(peerCode(3), "Waiting")), StatusFileLocked);
    // The server waits its lock timeout for real.
    const qint64 waited = GetParam() == test::Backend::Sqlite ? clock.totalWaitedMs : elapsed.elapsed();
    EXPECT_GE(waited, 100);
    EXPECT_LE(waited, GetParam() == test::Backend::Sqlite ? 200 : 2000);
    EXPECT_EQ(c.get(OpGetEqual, 0, peerCode(2)), StatusKeyNotFound); // not committed yet, and reads still run

    peer.write("go\n");
    ASSERT_EQ(nextLine(peer), "released 0");
    ASSERT_TRUE(peer.waitForFinished(30000));
    EXPECT_EQ(c.insert(peerRecord(peerCode(3), "Waiting")), StatusSuccess);
    EXPECT_EQ(c.get(OpGetEqual, 0, peerCode(2)), StatusSuccess);
}

// A writer killed at any point of an insert loses none of the inserts it had
// been told were done, and leaves the file sound.
TEST_P(RecordManagerProcesses, KilledWriterLosesNoAcknowledgedRecord) {
    QSet<QByteArray> acknowledged;
    int round = 0;
    for (int killAfter : {40, 97, 151}) {
        QProcess peer;
        peer.start(peerProgram, {QStringLiteral("insert"), path, QString::number(++round * 1000000),
                                 QStringLiteral("100000")});
        ASSERT_TRUE(peer.waitForStarted(30000));
        int seen = 0;
        while (seen < killAfter) {
            const QByteArray line = nextLine(peer);
            ASSERT_TRUE(line.startsWith("ok ")) << line.constData();
            acknowledged << line.mid(3);
            ++seen;
        }
        peer.kill(); // SIGKILL, wherever the peer is
        ASSERT_TRUE(peer.waitForFinished(30000));
        for (const QByteArray& line : peer.readAllStandardOutput().split('\n'))
            if (line.startsWith("ok ") && line.size() == 11)
                acknowledged << line.mid(3);
    }

    BtrCursor check(test::PeerRecordLength);
    ASSERT_EQ(check.open(path), StatusSuccess);
    for (const QByteArray& code : acknowledged) {
        ASSERT_EQ(check.get(OpGetEqual, 0, code), StatusSuccess) << code.constData();
        EXPECT_EQ(check.record, peerRecord(code, "peer"));
    }
    const QList<QByteArray> records = check.all(0, 100000);
    for (const QByteArray& r : records)
        EXPECT_EQ(r, peerRecord(r.left(8), "peer"));
    EXPECT_GE(records.size(), acknowledged.size());
    EXPECT_LE(records.size(), acknowledged.size() + 3); // at most the insert in flight of each round

    if (GetParam() == test::Backend::Postgres) {
        EXPECT_EQ(place.db->query(QStringLiteral("SELECT count(*) FROM \"FRAD041.bt6\"")).toLongLong(),
                  records.size());
        return;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordManagerProcesses,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres),
                         [](const ::testing::TestParamInfo<test::Backend>& i) {
                             return std::string(test::backendName(i.param));
                         });

} // namespace
