#include "platform/Btrcall.h"

#include "BtrTestFile.h"
#include "BtrTestPlace.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <thread>

using namespace ks3;
using namespace ks3::btr;
using ks3::test::BtrCursor;
using ks3::test::Seg;

namespace {

// Records of 40 bytes: code (4, key 0, unique, fixed), name (10, key 1,
// duplicates, modifiable, case-insensitive), group (2 + 2, key 2, segmented,
// duplicates, modifiable), then free text.
constexpr int RecLen = 40;

QByteArray rec(const char* code, const QByteArray& name, const char* g1 = "AA", const char* g2 = "01",
               const char* rest = "") {
    return (QByteArray(code).leftJustified(4, ' ') + name.leftJustified(10, ' ') + QByteArray(g1) +
            QByteArray(g2) + QByteArray(rest))
        .leftJustified(RecLen, ' ');
}

QByteArray testDefinition() {
    return test::fileDefinition(RecLen, 3,
                                {{1, 4, 0},
                                 {5, 10, KeyDuplicates | KeyModifiable | KeyCaseInsensitive},
                                 {15, 2, KeyDuplicates | KeyModifiable | KeySegmented},
                                 {17, 2, KeyDuplicates | KeyModifiable}});
}

struct Fixture {
    test::RecordPlace place;
    test::TempDir& dir = place.dir;
    QString path = place.file(QStringLiteral("FRAD099.bt6"));
    BtrCursor c{RecLen};

    explicit Fixture(test::Backend backend) : place(backend) {
        if (!place.error().isEmpty())
            return;
        EXPECT_EQ(test::createFile(path, testDefinition()), StatusSuccess);
        EXPECT_EQ(c.open(path), StatusSuccess);
        for (const QByteArray& r :
             {rec("0001", "SMITH"), rec("0002", "Dupont", "AA", "02"), rec("0003", "SMITH", "BB", "01"),
              rec("0004", "Martin"), rec("0005", "SMITH"), rec("0006", "\xE9lodie", "BB", "02")})
            EXPECT_EQ(c.insert(r), StatusSuccess);
    }
    ~Fixture() { BtrCursor(RecLen).call(OpStop, 0); }
};

QByteArray code(const BtrCursor& c) {
    return c.record.left(4);
}

// Codes met by Get Next from the cursor's current record to the end.
QList<QByteArray> restByNext(BtrCursor& c, int key) {
    QList<QByteArray> codes;
    for (const QByteArray& r : c.thisAndNext(key, 50))
        codes << r.left(4);
    return codes;
}

struct Case {
    const char* name;
    std::function<void(Fixture&)> run;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

const Case cases[] = {
    {"DuplicatesComeBackInInsertionOrder",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "smith"), StatusSuccess);
         EXPECT_EQ(f.c.key.left(10), QByteArray("SMITH     ")); // the key found, as stored
         EXPECT_EQ(restByNext(f.c, 1), (QList<QByteArray>{"0001", "0003", "0005", "0006"}));
         ASSERT_EQ(f.c.get(OpGetEqual, 2, "AA01"), StatusSuccess);
         EXPECT_EQ(restByNext(f.c, 2), (QList<QByteArray>{"0001", "0004", "0005", "0002", "0003", "0006"}));
     }},
    {"LessOrEqualLandsOnTheLastDuplicate",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetLessOrEqual, 1, "SMITH"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0005");
         ASSERT_EQ(f.c.get(OpGetPrevious, 1), StatusSuccess);
         EXPECT_EQ(code(f.c), "0003");
         ASSERT_EQ(f.c.get(OpGetLess, 1, "SMITH"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0004");
         ASSERT_EQ(f.c.get(OpGetGreaterOrEqual, 1, "N"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0001");
         ASSERT_EQ(f.c.get(OpGetGreater, 1, "SMITH"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0006");
     }},
    {"EndsGiveEndOfFileAndMissingKeysNotFound",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetFirst, 0), StatusSuccess);
         EXPECT_EQ(code(f.c), "0001");
         EXPECT_EQ(f.c.get(OpGetPrevious, 0), StatusEndOfFile);
         ASSERT_EQ(f.c.get(OpGetLast, 0), StatusSuccess);
         EXPECT_EQ(code(f.c), "0006");
         EXPECT_EQ(f.c.get(OpGetNext, 0), StatusEndOfFile);
         ASSERT_EQ(f.c.get(OpGetPrevious, 0), StatusSuccess); // running off the end keeps the position
         EXPECT_EQ(code(f.c), "0005");
         EXPECT_EQ(f.c.get(OpGetGreater, 0, "0006"), StatusEndOfFile);
         EXPECT_EQ(f.c.get(OpGetLessOrEqual, 0, "0000"), StatusEndOfFile);
         EXPECT_EQ(f.c.get(OpGetEqual, 0, "0009"), StatusKeyNotFound);
     }},
    {"NextNeedsAPositionOnTheSameKey",
     [](Fixture& f) {
         BtrCursor fresh(RecLen);
         ASSERT_EQ(fresh.open(f.path), StatusSuccess);
         EXPECT_EQ(fresh.get(OpGetNext, 0), StatusInvalidPositioning);
         EXPECT_EQ(fresh.update(rec("0001", "X")), StatusInvalidPositioning);
         EXPECT_EQ(fresh.remove(), StatusInvalidPositioning);
         ASSERT_EQ(fresh.get(OpGetEqual, 0, "0002"), StatusSuccess);
         EXPECT_EQ(fresh.get(OpGetNext, 1), StatusDifferentKeyNumber);
         EXPECT_EQ(fresh.get(OpGetPrevious, 2), StatusDifferentKeyNumber);
         EXPECT_EQ(fresh.get(OpGetEqual, 0, "0099"), StatusKeyNotFound);
         EXPECT_EQ(fresh.get(OpGetNext, 0), StatusInvalidPositioning); // a failed search drops the position
         EXPECT_EQ(fresh.get(OpGetFirst, 3), StatusInvalidKeyNumber);
     }},
    {"UniqueKeyRefusesADuplicateAndAFixedKeyStays",
     [](Fixture& f) {
         EXPECT_EQ(f.c.insert(rec("0003", "Other")), StatusDuplicateKey);
         ASSERT_EQ(f.c.get(OpGetFirst, 0), StatusSuccess);
         EXPECT_EQ(restByNext(f.c, 0).size(), 6);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0002"), StatusSuccess);
         EXPECT_EQ(f.c.update(rec("0007", "Dupont")), StatusKeyNotModifiable); // key 0 is not modifiable
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0002"), StatusSuccess);
         EXPECT_EQ(f.c.record, rec("0002", "Dupont", "AA", "02"));
     }},
    {"CaseInsensitiveKeyMatchesAnyCase",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "DUPONT"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0002");
         EXPECT_EQ(f.c.key.left(10), QByteArray("Dupont    "));
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "\xC9LODIE"), StatusSuccess); // É finds é
         EXPECT_EQ(code(f.c), "0006");
         ASSERT_EQ(f.c.insert(rec("abcd", "x")), StatusSuccess);
         EXPECT_EQ(f.c.get(OpGetEqual, 0, "ABCD"), StatusKeyNotFound); // key 0 keeps its case
     }},
    {"UpdateAndDeleteActOnTheRecordJustRead",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0003"), StatusSuccess);
         ASSERT_EQ(f.c.update(rec("0003", "Zola", "BB", "01", "changed")), StatusSuccess);
         EXPECT_EQ(f.c.key.left(4), QByteArray("0003"));
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0003"), StatusSuccess);
         EXPECT_EQ(f.c.record, rec("0003", "Zola", "BB", "01", "changed"));
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "SMITH"), StatusSuccess);
         EXPECT_EQ(restByNext(f.c, 1), (QList<QByteArray>{"0001", "0005", "0003", "0006"}));
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0004"), StatusSuccess);
         ASSERT_EQ(f.c.remove(), StatusSuccess);
         EXPECT_EQ(f.c.get(OpGetEqual, 0, "0004"), StatusKeyNotFound);
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "MARTIN"), StatusKeyNotFound);
         ASSERT_EQ(f.c.insert(rec("0008", "New")), StatusSuccess); // an insert is a read of its own record
         ASSERT_EQ(f.c.update(rec("0008", "Newer")), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "NEWER"), StatusSuccess);
         EXPECT_EQ(code(f.c), "0008");
     }},
    {"DeleteThenNextGivesTheOldSuccessor",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "SMITH"), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetNext, 1), StatusSuccess);
         ASSERT_EQ(code(f.c), "0003");
         ASSERT_EQ(f.c.remove(1), StatusSuccess);
         EXPECT_EQ(f.c.update(rec("0003", "SMITH")), StatusInvalidPositioning); // nothing left to update
         ASSERT_EQ(f.c.get(OpGetNext, 1), StatusSuccess);
         EXPECT_EQ(code(f.c), "0005");
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0004"), StatusSuccess);
         ASSERT_EQ(f.c.remove(), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetPrevious, 0), StatusSuccess);
         EXPECT_EQ(code(f.c), "0002");
     }},
    {"TwoBlocksOnOneFileKeepSeparatePositions",
     [](Fixture& f) {
         BtrCursor b(RecLen);
         ASSERT_EQ(b.open(f.path), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetFirst, 0), StatusSuccess);
         ASSERT_EQ(b.get(OpGetLast, 0), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetNext, 0), StatusSuccess);
         ASSERT_EQ(b.get(OpGetPrevious, 0), StatusSuccess);
         EXPECT_EQ(code(f.c), "0002");
         EXPECT_EQ(code(b), "0005");
         ASSERT_EQ(b.update(rec("0005", "Moved")), StatusSuccess);
         ASSERT_EQ(f.c.update(rec("0002", "Dupond")), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0005"), StatusSuccess);
         EXPECT_EQ(f.c.record, rec("0005", "Moved"));
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0002"), StatusSuccess);
         EXPECT_EQ(f.c.record, rec("0002", "Dupond"));
         EXPECT_EQ(b.close(), StatusSuccess);
         EXPECT_EQ(b.get(OpGetFirst, 0), StatusFileNotOpen); // a closed block names nothing
         EXPECT_EQ(f.c.get(OpGetNext, 0), StatusSuccess);
     }},
    {"StaleRecordOfAnotherBlockIsAConflict",
     [](Fixture& f) {
         BtrCursor b(RecLen);
         ASSERT_EQ(b.open(f.path), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0004"), StatusSuccess);
         ASSERT_EQ(b.get(OpGetEqual, 0, "0004"), StatusSuccess);
         ASSERT_EQ(b.update(rec("0004", "First")), StatusSuccess);
         EXPECT_EQ(f.c.update(rec("0004", "Second")), StatusRecordConflict);
         EXPECT_EQ(f.c.remove(), StatusRecordConflict);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0004"), StatusSuccess);
         EXPECT_EQ(f.c.update(rec("0004", "Second")), StatusSuccess);
     }},
    {"UpdatedDuplicateGoesAfterThoseOfItsNewValue",
     [](Fixture& f) {
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0002"), StatusSuccess);
         ASSERT_EQ(f.c.update(rec("0002", "smith")), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 1, "SMITH"), StatusSuccess);
         EXPECT_EQ(restByNext(f.c, 1), (QList<QByteArray>{"0001", "0003", "0005", "0002", "0006"}));
         ASSERT_EQ(f.c.insert(rec("0007", "Smith"), 1), StatusSuccess); // positions on key 1
         ASSERT_EQ(f.c.get(OpGetPrevious, 1), StatusSuccess);
         EXPECT_EQ(code(f.c), "0002");
     }},
    {"TransactionsCommitAbortAndRefuseMisuse",
     [](Fixture& f) {
         BtrCursor t(RecLen);
         EXPECT_EQ(t.call(OpEndTransaction, 0), StatusEndWithoutBegin);
         EXPECT_EQ(t.call(OpAbortTransaction, 0), StatusEndWithoutBegin);
         ASSERT_EQ(t.call(OpBeginTransaction, 0), StatusSuccess);
         EXPECT_EQ(t.call(OpBeginConcurrentTransaction, 0), StatusTransactionActive);
         ASSERT_EQ(f.c.insert(rec("0010", "Gone")), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0010"), StatusSuccess); // seen inside the transaction
         ASSERT_EQ(t.call(OpAbortTransaction, 0), StatusSuccess);
         EXPECT_EQ(f.c.get(OpGetEqual, 0, "0010"), StatusKeyNotFound);
         ASSERT_EQ(t.call(OpBeginConcurrentTransaction, 0), StatusSuccess);
         ASSERT_EQ(f.c.insert(rec("0011", "Kept")), StatusSuccess);
         ASSERT_EQ(t.call(OpEndTransaction, 0), StatusSuccess);
         ASSERT_EQ(t.call(OpStop, 0), StatusSuccess);
         EXPECT_EQ(f.c.get(OpGetFirst, 0), StatusFileNotOpen); // Stop released every block
         ASSERT_EQ(f.c.open(f.path), StatusSuccess);
         EXPECT_EQ(f.c.get(OpGetEqual, 0, "0011"), StatusSuccess);
     }},
    {"ShortBuffersAreRefusedAndLongOnesCut",
     [](Fixture& f) {
         std::uint32_t len = 10;
         QByteArray data(RecLen, ' ');
         QByteArray key("0001");
         EXPECT_EQ(BTRCALL(OpGetEqual, &f.c.block, data.data(), &len, key.data(), 4, 0),
                   StatusDataBufferTooShort);
         len = RecLen;
         EXPECT_EQ(BTRCALL(OpGetEqual, &f.c.block, data.data(), &len, key.data(), 4, 1),
                   StatusKeyBufferTooShort);
         QByteArray longer = rec("0020", "Long") + "tail";
         len = std::uint32_t(longer.size());
         QByteArray k(255, ' ');
         ASSERT_EQ(BTRCALL(OpInsert, &f.c.block, longer.data(), &len, k.data(), 255, 0), StatusSuccess);
         ASSERT_EQ(f.c.get(OpGetEqual, 0, "0020"), StatusSuccess);
         EXPECT_EQ(f.c.dataLength, std::uint32_t(RecLen));
         EXPECT_EQ(f.c.record, rec("0020", "Long"));
     }},
    {"ReadOnlyOpenRefusesWrites",
     [](Fixture& f) {
         BtrCursor r(RecLen);
         ASSERT_EQ(r.open(f.path, OpenReadOnly), StatusSuccess);
         EXPECT_EQ(r.insert(rec("0030", "No")), StatusAccessDenied);
         ASSERT_EQ(r.get(OpGetEqual, 0, "0001"), StatusSuccess);
         EXPECT_EQ(r.remove(), StatusAccessDenied);
     }},
    {"MissingFileIsTwelveAndForeignFilesThirty",
     [](Fixture& f) {
         BtrCursor o(RecLen);
         EXPECT_EQ(o.open(f.place.file(QStringLiteral("none.bt6"))), StatusFileNotFound);
         if (f.place.backend == test::Backend::Sqlite) {
             EXPECT_EQ(o.open(f.dir.write(QStringLiteral("text.bt6"), "not a record file at all\n")),
                       StatusNotARecordFile);
             // Nothing written yet: no record file there (Create may put one).
             EXPECT_EQ(o.open(f.dir.write(QStringLiteral("empty.bt6"), "")), StatusFileNotFound);
             const QByteArray other = QFile::encodeName(f.dir.file(QStringLiteral("other.bt6")));
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(other.constData(), &db), SQLITE_OK);
             sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
             sqlite3_close(db);
             EXPECT_EQ(o.open(QString::fromUtf8(other)), StatusNotARecordFile);
         } else {
             // A table of another program in the database is no record file,
             // and Create does not drop it.
             ASSERT_EQ(f.place.db->query(QStringLiteral("CREATE TABLE \"other.bt6\"(x integer)")), "");
             EXPECT_EQ(o.open(f.place.file(QStringLiteral("other.bt6"))), StatusNotARecordFile);
             EXPECT_EQ(test::createFile(f.place.file(QStringLiteral("other.bt6")), testDefinition()),
                       StatusAccessDenied);
             EXPECT_EQ(f.place.db->query(QStringLiteral("SELECT count(*) FROM \"other.bt6\"")), "0");
             // A URL without a database names no file.
             EXPECT_EQ(o.open(QStringLiteral("postgresql://127.0.0.1:1/FRAD099.bt6")), StatusInvalidFileName);
             // A server nobody answers for: a network status, as the access layer words it.
             EXPECT_EQ(o.open(QStringLiteral("postgresql://127.0.0.1:1/kestrel/FRAD099.bt6")),
                       StatusServerUnreachable);
         }
         EXPECT_EQ(o.get(OpGetFirst, 0), StatusFileNotOpen);
     }},
};

class RecordManager : public ::testing::TestWithParam<std::tuple<test::Backend, Case>> {};

TEST_P(RecordManager, Case) {
    Fixture f(std::get<0>(GetParam()));
    ASSERT_TRUE(f.place.error().isEmpty()) << f.place.error().toStdString();
    std::get<1>(GetParam()).run(f);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordManager,
                         ::testing::Combine(::testing::Values(test::Backend::Sqlite, test::Backend::Postgres),
                                            ::testing::ValuesIn(cases)),
                         [](const ::testing::TestParamInfo<std::tuple<test::Backend, Case>>& i) {
                             return std::string(test::backendName(std::get<0>(i.param))) + "_" +
                                    std::get<1>(i.param).name;
                         });

// Keys compare as unsigned bytes after each segment's own rule: binary
// numbers by value (little-endian in the record), descending segments reversed.
class RecordManagerKeys : public ::testing::TestWithParam<test::Backend> {
protected:
    test::RecordPlace place{GetParam()};
    void SetUp() override { ASSERT_TRUE(place.error().isEmpty()) << place.error().toStdString(); }
};

TEST_P(RecordManagerKeys, BinaryAndDescendingSegmentsOrderByValue) {
    const QString path = place.file(QStringLiteral("keys.bt6"));
    ASSERT_EQ(test::createFile(path, test::fileDefinition(
                                         8, 2, {{1, 2, KeyBinary}, {3, 1, KeyDuplicates | KeyDescending}})),
              StatusSuccess);
    BtrCursor c(8);
    ASSERT_EQ(c.open(path), StatusSuccess);
    const QByteArray records[] = {QByteArray("\x01\x00"
                                             "A",
                                             3),
                                  QByteArray("\x00\x01"
                                             "C",
                                             3),
                                  QByteArray("\xFF\x00"
                                             "B",
                                             3)};
    for (const QByteArray& r : records)
        ASSERT_EQ(c.insert(r.leftJustified(8, ' ')), StatusSuccess);
    QList<QByteArray> byNumber, byLetter;
    for (const QByteArray& r : c.all(0, 10))
        byNumber << r.mid(2, 1);
    for (const QByteArray& r : c.all(1, 10))
        byLetter << r.mid(2, 1);
    EXPECT_EQ(byNumber, (QList<QByteArray>{"A", "B", "C"})); // 1, 255, 256
    EXPECT_EQ(byLetter, (QList<QByteArray>{"C", "B", "A"}));
    c.call(OpStop, 0);
}

// A position key longer than the block can hold is kept by the manager.
TEST_P(RecordManagerKeys, LongKeyScansThroughNextAndPrevious) {
    const QString path = place.file(QStringLiteral("long.bt6"));
    ASSERT_EQ(test::createFile(path, test::fileDefinition(200, 1, {{1, 150, KeyDuplicates}})), StatusSuccess);
    BtrCursor c(200);
    ASSERT_EQ(c.open(path), StatusSuccess);
    for (const char* v : {"b", "a", "b", "c"})
        ASSERT_EQ(c.insert(QByteArray(149, 'x') + v), StatusSuccess);
    QByteArray seen;
    for (const QByteArray& r : c.all(0, 10))
        seen += r.at(149);
    EXPECT_EQ(seen, "abbc");
    ASSERT_EQ(c.get(OpGetPrevious, 0), StatusSuccess);
    EXPECT_EQ(c.record.at(149), 'b');
    c.call(OpStop, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordManagerKeys,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres),
                         [](const ::testing::TestParamInfo<test::Backend>& i) {
                             return std::string(test::backendName(i.param));
                         });

// The create buffer of the conversion headers (160 bytes, 3 keys), then
// replacing and refusing to replace.
class RecordManagerCreate : public RecordManagerKeys {};

TEST_P(RecordManagerCreate, ConversionHeaderDefinitionCreatesReplacesAndRefuses) {
    const QString path = place.file(QStringLiteral("FRAD041.bt6"));
    QByteArray definition =
        test::fileDefinition(900, 3,
                             {{1, 10, KeyModifiable},
                              {11, 50, KeyDuplicates | KeyModifiable | KeyCaseInsensitive},
                              {61, 14, KeyDuplicates | KeyModifiable | KeyCaseInsensitive}},
                             2048);
    definition.resize(160, '\0');
    ASSERT_EQ(test::createFile(path, definition), StatusSuccess);
    BtrCursor c(900);
    ASSERT_EQ(c.open(path), StatusSuccess);
    QByteArray header = QByteArray("0000000001").leftJustified(10, ' ') +
                        QByteArray("Song.wav").leftJustified(50, ' ') + "20240216080509";
    ASSERT_EQ(c.insert(header.leftJustified(900, ' ')), StatusSuccess);
    ASSERT_EQ(c.get(OpGetEqual, 1, "SONG.WAV"), StatusSuccess);
    EXPECT_EQ(c.record.left(10), "0000000001");
    EXPECT_EQ(c.dataLength, 900u);

    EXPECT_EQ(test::createFile(path, definition),
              StatusAccessDenied); // open here: not redefined under its users
    c.call(OpStop, 0);
    EXPECT_EQ(test::createFile(path, definition, CreateNoReplace), StatusFileExists);
    ASSERT_EQ(test::createFile(path, definition), StatusSuccess);
    ASSERT_EQ(c.open(path), StatusSuccess);
    EXPECT_EQ(c.get(OpGetFirst, 0), StatusEndOfFile);
    c.call(OpStop, 0);
    if (GetParam() == test::Backend::Postgres)
        return; // a table of another program: MissingFileIsTwelveAndForeignFilesThirty

    const QString foreign = place.dir.write(QStringLiteral("old.bt6"), "left by another program");
    ASSERT_EQ(test::createFile(foreign, definition), StatusSuccess);
    ASSERT_EQ(c.open(foreign), StatusSuccess);
    c.call(OpStop, 0);

    // An empty file holds nothing: even a Create that replaces nothing takes its place.
    const QString empty = place.dir.write(QStringLiteral("empty.bt6"), "");
    ASSERT_EQ(test::createFile(empty, definition, CreateNoReplace), StatusSuccess);
    ASSERT_EQ(c.open(empty), StatusSuccess);
    EXPECT_EQ(c.get(OpGetFirst, 0), StatusEndOfFile);
    c.call(OpStop, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordManagerCreate,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres),
                         [](const ::testing::TestParamInfo<test::Backend>& i) {
                             return std::string(test::backendName(i.param));
                         });

TEST(RecordManagerCreateFiles, BadDefinitionsAreRefusedWithTheirStatus) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("bad.bt6"));
    struct Bad {
        QByteArray definition;
        std::int16_t status;
    } bad[] = {
        {test::fileDefinition(0, 1, {{1, 4, 0}}), StatusInvalidRecordLength},
        {test::fileDefinition(40, 1, {{1, 4, 0}}, 100), StatusInvalidPageSize},
        {test::fileDefinition(40, 1, {{38, 4, 0}}), StatusInvalidKeyPosition},
        {test::fileDefinition(40, 1, {{0, 4, 0}}), StatusInvalidKeyPosition},
        {test::fileDefinition(40, 1, {{1, 4, KeyAlternateSequence}}), StatusInvalidAlternateSequence},
        {test::fileDefinition(40, 1, {{1, 4, KeyExtendedType, 2}}), StatusInvalidExtendedType},
        {test::fileDefinition(40, 1, {{1, 4, 0}}).left(20), StatusDataBufferTooShort},
    };
    for (const Bad& b : bad) {
        EXPECT_EQ(test::createFile(path, b.definition), b.status);
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(test::createFile(dir.file(QStringLiteral("no/such/folder/x.bt6")),
                               test::fileDefinition(40, 1, {{1, 4, 0}})),
              StatusFileNotFound);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0); // no temporary left
}

} // namespace

namespace {

// Two workstations creating their files at the same moment: one waits for the
// other's creation to end (it may take a while on a busy server) instead of
// giving up with a lock status and leaving its table closed.
TEST(RecordManagerOnServer, CreateWaitsForAnotherCreation) {
    test::PgTestDatabase db;
    ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
    const QString path = db.file(QStringLiteral("FRAD041.bt6"));
    // The other creator holds the creations' lock for 600 ms.
    PGconn* other = PQconnectdb(db.url().toUtf8().constData());
    ASSERT_EQ(PQstatus(other), CONNECTION_OK);
    PQclear(PQexec(other, "SELECT pg_advisory_lock(1261589076)"));
    std::thread finishing([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        PQclear(PQexec(other, "SELECT pg_advisory_unlock(1261589076)"));
    });
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(test::createFile(path, testDefinition(), CreateNoReplace), StatusSuccess);
    EXPECT_GE(waited.elapsed(), 400);
    finishing.join();
    PQfinish(other);
    BtrCursor c(RecLen);
    EXPECT_EQ(c.open(path), StatusSuccess);
    c.call(OpStop, 0);
}

} // namespace
