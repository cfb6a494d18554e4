// The record manager under an operation sequence decoded from the input, on a
// temporary record file: inserts, updates (changing the key or not), deletes
// and scans. Get First then Get Next on the key with duplicates must return
// the records in key order, duplicates in the order they took that key; the
// unique key must find each record; the file must pass SQLite's integrity
// check afterwards.
#include "platform/BtrTestFile.h"
#include "platform/Btrcall.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ks3;
using ks3::test::BtrCursor;

namespace {

QTemporaryDir* g_dir = nullptr;

// Record: name (2, key 0, duplicates, modifiable, capitals), number (8,
// key 1, unique), then a payload.
constexpr int kLength = 20;

struct Row {
    QByteArray name; // as written
    int number;
};

void fail(const char* what, const QByteArray& detail = QByteArray()) {
    std::fprintf(stderr, "%s %s\n", what, detail.constData());
    std::abort();
}

QByteArray record(const Row& r, char fill) {
    return r.name + QByteArray::number(r.number).rightJustified(8, '0') + QByteArray(10, fill);
}

// Names from a small alphabet, so that duplicates and letter case meet often.
QByteArray nameOf(std::uint8_t b) {
    static const char kAlphabet[] = "aAbB0 ";
    const char name[2] = {kAlphabet[b % 6], kAlphabet[(b / 6) % 6]};
    return QByteArray(name, 2);
}

// The order Get Next must give: by name in capitals, then by arrival in it.
std::vector<Row> expectedOrder(const std::vector<Row>& rows) {
    std::vector<Row> out = rows;
    std::stable_sort(out.begin(), out.end(),
                     [](const Row& a, const Row& b) { return a.name.toUpper() < b.name.toUpper(); });
    return out;
}

void checkScan(BtrCursor& c, const std::vector<Row>& rows) {
    const std::vector<Row> want = expectedOrder(rows);
    const QList<QByteArray> got = c.all(0, int(rows.size()) + 2);
    if (got.size() != qsizetype(want.size()))
        fail("scan gave a different count", QByteArray::number(got.size()));
    for (std::size_t i = 0; i < want.size(); ++i)
        if (got[qsizetype(i)].left(10) != record(want[i], ' ').left(10))
            fail("scan out of order at",
                 got[qsizetype(i)].left(10) + " wanted " + record(want[i], ' ').left(10));
}

void integrityCheck(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        fail("cannot open the record file with SQLite");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    const bool ok = st && sqlite3_step(st) == SQLITE_ROW &&
                    QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (!ok)
        fail("integrity check failed");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    // Every write is synced: a memory file system keeps the runs fast.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_dir = new QTemporaryDir(base + "/ks3-fuzz-btr-XXXXXX");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = g_dir->path() + "/fuzz.bt6";
    const QByteArray definition = test::fileDefinition(
        kLength, 2, {{1, 2, btr::KeyDuplicates | btr::KeyModifiable | btr::KeyCaseInsensitive}, {3, 8, 0}});
    if (test::createFile(path, definition) != btr::StatusSuccess)
        fail("create failed");
    BtrCursor c(kLength);
    if (c.open(path) != btr::StatusSuccess)
        fail("open failed");

    std::vector<Row> rows; // in the order of their arrival under their name
    int next = 1;
    for (std::size_t i = 0; i + 1 < size && i < 128; i += 2) {
        const std::uint8_t op = data[i] % 5;
        const std::uint8_t arg = data[i + 1];
        if (op <= 1) { // insert
            const Row r{nameOf(arg), next++};
            const std::int16_t status = c.insert(record(r, char('a' + arg % 26)));
            if (status != btr::StatusSuccess)
                fail("insert failed, status", QByteArray::number(status) + " at " +
                                                  QByteArray::number(int(i)) + " rows " +
                                                  QByteArray::number(int(rows.size())));
            rows.push_back(r);
        } else if (rows.empty()) {
            continue;
        } else if (op == 4) {
            checkScan(c, rows);
        } else {
            const std::size_t at = arg % rows.size();
            const QByteArray number = QByteArray::number(rows[at].number).rightJustified(8, '0');
            if (c.get(btr::OpGetEqual, 1, number) != btr::StatusSuccess)
                fail("unique key lost a record", number);
            if (c.record.mid(2, 8) != number)
                fail("Get Equal returned another record", c.record);
            if (op == 2) {
                if (c.remove(1) != btr::StatusSuccess)
                    fail("delete failed", number);
                rows.erase(rows.begin() + std::ptrdiff_t(at));
            } else {
                // A new name (or the same in other letters) moves the record to the
                // end of its new duplicates; the same name keeps its place.
                Row r = rows[at];
                r.name = nameOf(std::uint8_t(arg / 3));
                if (c.update(record(r, 'u'), 1) != btr::StatusSuccess)
                    fail("update failed", number);
                if (r.name.toUpper() == rows[at].name.toUpper()) {
                    rows[at] = r;
                } else {
                    rows.erase(rows.begin() + std::ptrdiff_t(at));
                    rows.push_back(r);
                }
            }
        }
    }
    checkScan(c, rows);
    if (c.close() != btr::StatusSuccess)
        fail("close failed");
    integrityCheck(path);
    return 0;
}
