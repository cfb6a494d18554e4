// The record manager's PostgreSQL back-end on 100 000 conversion headers
// (900-byte records; key 0 the header number, key 1 the source name with
// duplicates and no case, key 2 the processing date likewise) against the same
// statements issued directly with libpq on a copy of the same table, and
// beside it the SQLite back-end on a file of the same headers. Inserts are
// durable on every side (synchronous commit, full sync). Operations per
// second, then the ratios (manager time / libpq time) last.
//
// The server is named by KS3_TEST_PG_URL, as for the tests:
//   scripts/pg-cluster.sh start /tmp/ks3-pg-bench
//   KS3_TEST_PG_URL=$(cat /tmp/ks3-pg-bench/url) build/bin/pg_record_manager_bench
//   scripts/pg-cluster.sh stop /tmp/ks3-pg-bench
#include "HeaderRecords.h"
#include "TimesReporter.h"
#include "platform/Btrcall.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ks3;
using namespace ks3::btr;
using namespace ks3::bench;

namespace {

void fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
}

PGresult* run(PGconn* c, const char* sql) {
    PGresult* r = PQexec(c, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        fail(std::string(sql) + ": " + PQresultErrorMessage(r));
    return r;
}

// The three stores, built once.
struct Stores {
    QTemporaryDir dir;
    bench::HeaderFile pg, sqlite;
    PGconn* plain = nullptr;
    long plainNext = RecordCount + 1;

    Stores() {
        const char* server = std::getenv("KS3_TEST_PG_URL");
        if (!server || !*server)
            fail("KS3_TEST_PG_URL is not set: start a server with scripts/pg-cluster.sh start DIR and "
                 "export KS3_TEST_PG_URL=\"$(cat DIR/url)\"");
        const std::string schema = "bench_" + std::to_string(::getpid());
        PGconn* admin = PQconnectdb(server);
        if (PQstatus(admin) != CONNECTION_OK)
            fail(std::string("server: ") + PQerrorMessage(admin));
        PQclear(run(admin, ("CREATE SCHEMA " + schema).c_str()));
        PQfinish(admin);
        const std::string url = std::string(server) + (std::strchr(server, '?') ? "&" : "?") +
                                "options=-csearch_path%3D" + schema;

        std::fprintf(stderr, "Loading %d headers on the server...\n", RecordCount);
        if (const std::string e = pg.load(QByteArray::fromStdString(url + "/FRAD041.bt6")); !e.empty())
            fail(e);
        std::fprintf(stderr, "Loading %d headers in a SQLite file...\n", RecordCount);
        if (const std::string e = sqlite.load(QFile::encodeName(dir.filePath(QStringLiteral("FRAD041.bt6"))));
            !e.empty())
            fail(e);

        // The plain side: a copy of the same rows, keys and indexes, on a
        // connection with the same settings.
        plain = PQconnectdb(url.c_str());
        if (PQstatus(plain) != CONNECTION_OK)
            fail(std::string("server: ") + PQerrorMessage(plain));
        PQclear(run(plain, "SET synchronous_commit = on; SET lock_timeout = '150ms'"));
        PQclear(run(plain, "CREATE TABLE plain (LIKE \"FRAD041.bt6\" INCLUDING ALL);"
                           "INSERT INTO plain SELECT * FROM \"FRAD041.bt6\";"
                           "CREATE SEQUENCE plain_id START 200001; ANALYZE plain"));
        prepare("equal", "SELECT id, version, data, k1, s1 FROM plain WHERE k1 = $1 ORDER BY s1 LIMIT 1", 1);
        prepare("next",
                "SELECT id, version, data, k0, 0::bigint FROM plain WHERE k0 > $1 ORDER BY k0 LIMIT 1", 1);
        prepare(
            "insert",
            "WITH n AS (SELECT nextval('plain_id') AS id) INSERT INTO plain(id, version, data, k0, k1, s1, "
            "k2, s2) SELECT n.id, 1, $1, $2, $3, n.id, $4, n.id FROM n RETURNING id",
            4);
    }
    ~Stores() {
        QByteArray d(RecordLength, ' '), k(255, ' ');
        pg.call(OpStop, d, k, 0);
        PQfinish(plain);
    }

    void prepare(const char* name, const char* sql, int params) {
        std::vector<Oid> types(std::size_t(params), 17); // bytea
        PGresult* r = PQprepare(plain, name, sql, params, types.data());
        if (PQresultStatus(r) != PGRES_COMMAND_OK)
            fail(std::string(name) + ": " + PQresultErrorMessage(r));
        PQclear(r);
    }

    // One prepared statement with bytea parameters, binary in and out.
    PGresult* exec(const char* name, const std::vector<QByteArray>& values) {
        std::vector<const char*> v;
        std::vector<int> lengths, formats;
        for (const QByteArray& b : values) {
            v.push_back(b.constData());
            lengths.push_back(int(b.size()));
            formats.push_back(1);
        }
        return PQexecPrepared(plain, name, int(v.size()), v.data(), lengths.data(), formats.data(), 1);
    }
};

Stores& stores() {
    static Stores s;
    return s;
}

long pick(std::uint64_t& lcg) {
    lcg = lcg * 6364136223846793005ULL + 1442695040888963407ULL;
    return long((lcg >> 33) % RecordCount) + 1;
}

HeaderFile& side(benchmark::State& state) {
    return state.range(0) == 0 ? stores().pg : stores().sqlite;
}

void ManagerGetEqual(benchmark::State& state) {
    HeaderFile& f = side(state);
    QByteArray data(RecordLength, ' '), key(255, ' ');
    std::uint64_t lcg = 42;
    for (auto _ : state) {
        key = sourceName(pick(lcg)).toLower().leftJustified(255, ' ');
        if (f.call(OpGetEqual, data, key, 1) != StatusSuccess)
            state.SkipWithError("not found");
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void LibpqGetEqual(benchmark::State& state) {
    Stores& s = stores();
    QByteArray data(RecordLength, ' ');
    std::uint64_t lcg = 42;
    for (auto _ : state) {
        const QByteArray k = sourceName(pick(lcg)).toLower().toUpper();
        PGresult* r = s.exec("equal", {k});
        if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1)
            state.SkipWithError("not found");
        else
            std::memcpy(data.data(), PQgetvalue(r, 0, 2), RecordLength);
        PQclear(r);
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void ManagerGetNext(benchmark::State& state) {
    HeaderFile& f = side(state);
    QByteArray data(RecordLength, ' '), key(255, ' ');
    f.call(OpGetFirst, data, key, 0);
    for (auto _ : state) {
        if (f.call(OpGetNext, data, key, 0) != StatusSuccess)
            f.call(OpGetFirst, data, key, 0);
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void LibpqGetNext(benchmark::State& state) {
    Stores& s = stores();
    QByteArray data(RecordLength, ' ');
    QByteArray last = headerId(0);
    for (auto _ : state) {
        PGresult* r = s.exec("next", {last});
        if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) {
            last = headerId(0);
        } else {
            std::memcpy(data.data(), PQgetvalue(r, 0, 2), RecordLength);
            last = QByteArray(PQgetvalue(r, 0, 3), PQgetlength(r, 0, 3));
        }
        PQclear(r);
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void ManagerInsert(benchmark::State& state) {
    HeaderFile& f = side(state);
    QByteArray data, key(255, ' ');
    for (auto _ : state) {
        data = header(f.nextId++);
        if (f.call(OpInsert, data, key, 0) != StatusSuccess)
            state.SkipWithError("insert failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void LibpqInsert(benchmark::State& state) {
    Stores& s = stores();
    for (auto _ : state) {
        const long n = s.plainNext++;
        PGresult* r = s.exec("insert", {header(n), headerId(n), sourceName(n).toUpper(), processingDate(n)});
        if (PQresultStatus(r) != PGRES_TUPLES_OK)
            state.SkipWithError("insert failed");
        PQclear(r);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv) {
    stores();
    const char* ops[] = {"GetEqual", "GetNext", "Insert"};
    void (*manager[])(benchmark::State&) = {ManagerGetEqual, ManagerGetNext, ManagerInsert};
    void (*libpq[])(benchmark::State&) = {LibpqGetEqual, LibpqGetNext, LibpqInsert};
    for (int i = 0; i < 3; ++i) {
        // Every operation of the server waits for it, an insert for the
        // disk too: measured on the wall clock.
        benchmark::RegisterBenchmark((std::string(ops[i]) + "/pg-manager").c_str(), manager[i])
            ->Arg(0)
            ->UseRealTime()
            ->MinTime(1.0);
        benchmark::RegisterBenchmark((std::string(ops[i]) + "/libpq").c_str(), libpq[i])
            ->UseRealTime()
            ->MinTime(1.0);
        benchmark::RegisterBenchmark((std::string(ops[i]) + "/sqlite-manager").c_str(), manager[i])
            ->Arg(1)
            ->UseRealTime()
            ->MinTime(1.0);
    }
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto perSecond = [](const ks3::bench::TimesReporter::Times& t) {
        return t.real > 0 ? 1e9 / t.real : 0.0;
    };
    std::printf("\nOperations per second on %d conversion headers:\n", RecordCount);
    std::printf("  %-9s %12s %12s %12s\n", "", "PostgreSQL", "libpq", "SQLite");
    for (const char* op : ops)
        std::printf("  %-9s %12.0f %12.0f %12.0f\n", op,
                    perSecond(reporter.find(std::string(op) + "/pg-manager")),
                    perSecond(reporter.find(std::string(op) + "/libpq")),
                    perSecond(reporter.find(std::string(op) + "/sqlite-manager")));
    std::printf("\nPostgreSQL back-end / the same statements with libpq, time per operation (limit 2.00):\n");
    for (const char* op : ops) {
        const auto mt = reporter.find(std::string(op) + "/pg-manager"),
                   qt = reporter.find(std::string(op) + "/libpq");
        if (mt.real > 0 && qt.real > 0)
            std::printf("  %-9s real %.2f\n", op, mt.real / qt.real);
    }
    benchmark::Shutdown();
    return 0;
}
