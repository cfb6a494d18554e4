// Record manager against plain SQLite on a file of 100 000 conversion headers
// (900-byte records; key 0 the header number, key 1 the source name with
// duplicates and no case, key 2 the processing date likewise). The plain side
// holds the same records and keys in one table with the same durability
// (write-ahead log, full sync) and runs the equivalent prepared statement for
// each operation. Ratios (manager time / SQLite time) are printed last.
#include "HeaderRecords.h"
#include "TimesReporter.h"
#include "platform/Btrcall.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

using namespace ks3;
using namespace ks3::btr;
using namespace ks3::bench;

namespace {

QByteArray upper(QByteArray b) {
    return b.toUpper();
}

// Both stores, built once.
struct Stores {
    QTemporaryDir dir;
    HeaderFile file;
    sqlite3* db = nullptr;

    Stores() {
        if (!file.load(QFile::encodeName(dir.filePath(QStringLiteral("FRAD041.bt6")))).empty())
            std::abort();

        const QByteArray plainPath = QFile::encodeName(dir.filePath(QStringLiteral("plain.db")));
        sqlite3_open(plainPath.constData(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE headers(id INTEGER PRIMARY KEY, k0 BLOB, k1 BLOB, k2 BLOB, data BLOB);"
                     "CREATE UNIQUE INDEX headers_k0 ON headers(k0); CREATE INDEX headers_k1 ON headers(k1);"
                     "CREATE INDEX headers_k2 ON headers(k2); BEGIN",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO headers(k0, k1, k2, data) VALUES(?1, ?2, ?3, ?4)", -1, &ins,
                           nullptr);
        for (long n = 1; n <= RecordCount; ++n)
            insertPlain(ins, n);
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ~Stores() {
        QByteArray d(RecordLength, ' '), k(255, ' ');
        file.call(OpStop, d, k, 0);
        sqlite3_close(db);
    }

    static void insertPlain(sqlite3_stmt* ins, long n) {
        const QByteArray r = header(n), k0 = headerId(n), k1 = upper(sourceName(n)),
                         k2 = upper(processingDate(n));
        sqlite3_reset(ins);
        sqlite3_bind_blob(ins, 1, k0.constData(), int(k0.size()), SQLITE_STATIC);
        sqlite3_bind_blob(ins, 2, k1.constData(), int(k1.size()), SQLITE_STATIC);
        sqlite3_bind_blob(ins, 3, k2.constData(), int(k2.size()), SQLITE_STATIC);
        sqlite3_bind_blob(ins, 4, r.constData(), int(r.size()), SQLITE_STATIC);
        if (sqlite3_step(ins) != SQLITE_DONE)
            std::abort();
    }
};

Stores& stores() {
    static Stores s;
    return s;
}

// The same pseudo-random header numbers on both sides.
long pick(std::uint64_t& lcg) {
    lcg = lcg * 6364136223846793005ULL + 1442695040888963407ULL;
    return long((lcg >> 33) % RecordCount) + 1;
}

void ManagerGetEqual(benchmark::State& state) {
    Stores& s = stores();
    QByteArray data(RecordLength, ' '), key(255, ' ');
    std::uint64_t lcg = 42;
    for (auto _ : state) {
        key = sourceName(pick(lcg)).toLower().leftJustified(255, ' '); // found whatever the case
        if (s.file.call(OpGetEqual, data, key, 1) != StatusSuccess)
            state.SkipWithError("not found");
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void SqliteGetEqual(benchmark::State& state) {
    Stores& s = stores();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(s.db, "SELECT id, data, k1 FROM headers WHERE k1 = ?1 ORDER BY id LIMIT 1", -1, &st,
                       nullptr);
    QByteArray data(RecordLength, ' ');
    std::uint64_t lcg = 42;
    for (auto _ : state) {
        const QByteArray k = upper(sourceName(pick(lcg)).toLower());
        sqlite3_reset(st);
        sqlite3_bind_blob(st, 1, k.constData(), int(k.size()), SQLITE_STATIC);
        if (sqlite3_step(st) != SQLITE_ROW)
            state.SkipWithError("not found");
        std::memcpy(data.data(), sqlite3_column_blob(st, 1), RecordLength);
        sqlite3_reset(st);
        benchmark::DoNotOptimize(data.constData());
    }
    sqlite3_finalize(st);
    state.SetItemsProcessed(state.iterations());
}

void ManagerGetNext(benchmark::State& state) {
    Stores& s = stores();
    QByteArray data(RecordLength, ' '), key(255, ' ');
    s.file.call(OpGetFirst, data, key, 0);
    for (auto _ : state) {
        if (s.file.call(OpGetNext, data, key, 0) != StatusSuccess)
            s.file.call(OpGetFirst, data, key, 0);
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

// Next after the key in hand: the plain-SQL form of a cursor that holds no
// read transaction between calls.
void SqliteGetNext(benchmark::State& state) {
    Stores& s = stores();
    sqlite3_stmt* next = nullptr;
    sqlite3_prepare_v2(s.db, "SELECT data, k0 FROM headers WHERE k0 > ?1 ORDER BY k0 LIMIT 1", -1, &next,
                       nullptr);
    QByteArray data(RecordLength, ' ');
    QByteArray last = headerId(0);
    for (auto _ : state) {
        sqlite3_reset(next);
        sqlite3_bind_blob(next, 1, last.constData(), int(last.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(next) != SQLITE_ROW) {
            last = headerId(0);
            continue;
        }
        std::memcpy(data.data(), sqlite3_column_blob(next, 0), RecordLength);
        last =
            QByteArray(static_cast<const char*>(sqlite3_column_blob(next, 1)), sqlite3_column_bytes(next, 1));
        sqlite3_reset(next);
        benchmark::DoNotOptimize(data.constData());
    }
    sqlite3_finalize(next);
    state.SetItemsProcessed(state.iterations());
}

// One durable insert per call on both sides.
void ManagerInsert(benchmark::State& state) {
    Stores& s = stores();
    QByteArray data, key(255, ' ');
    for (auto _ : state) {
        data = header(s.file.nextId++);
        if (s.file.call(OpInsert, data, key, 0) != StatusSuccess)
            state.SkipWithError("insert failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void SqliteInsert(benchmark::State& state) {
    Stores& s = stores();
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(s.db, "INSERT INTO headers(k0, k1, k2, data) VALUES(?1, ?2, ?3, ?4)", -1, &ins,
                       nullptr);
    static long next = RecordCount + 1;
    for (auto _ : state)
        Stores::insertPlain(ins, next++);
    sqlite3_finalize(ins);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv) {
    stores();
    benchmark::RegisterBenchmark("GetEqual/manager", ManagerGetEqual);
    benchmark::RegisterBenchmark("GetEqual/sqlite", SqliteGetEqual);
    benchmark::RegisterBenchmark("GetNext/manager", ManagerGetNext);
    benchmark::RegisterBenchmark("GetNext/sqlite", SqliteGetNext);
    // An insert waits for the disk: measured on the wall clock.
    benchmark::RegisterBenchmark("Insert/manager", ManagerInsert)->UseRealTime()->MinTime(1.0);
    benchmark::RegisterBenchmark("Insert/sqlite", SqliteInsert)->UseRealTime()->MinTime(1.0);
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRecord manager / plain SQLite, time per operation (limit 2.00):\n");
    for (const char* op : {"GetEqual", "GetNext", "Insert"}) {
        const std::string m = std::string(op) + "/manager", q = std::string(op) + "/sqlite";
        const auto mt = reporter.find(m), qt = reporter.find(q);
        if (mt.real > 0 && qt.real > 0)
            std::printf("  %-9s real %.2f  cpu %.2f\n", op, mt.real / qt.real, mt.cpu / qt.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
