// The rebuild of the energy file of a one-hour sound (115.2 MB: 3600 s of the
// suite's 256 kbit/s stream) against `cat` reading the same file to /dev/null
// in the same run; the throughput of each and the ratio of their times
// (rebuild / cat) are printed last.
#include "TimesReporter.h"
#include "common/TraceLog.h"
#include "udp/EnergieLit.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr qint64 kOctets = 3600LL * 32000; // one hour at 32 000 bytes per second
constexpr std::int32_t kDuree = 3600000;

QTemporaryDir* folder = nullptr;
QString son;

void makeSound() {
    folder = new QTemporaryDir(QStringLiteral("/tmp/ks3bench-XXXXXX"));
    son = folder->filePath(QStringLiteral("HOUR0001.s48"));
    QFile f(son);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    // The level rule reads raw bytes of the file: random bytes give every level.
    QByteArray block(32000 * 100, '\0');
    for (qint64 ecrits = 0; ecrits < kOctets; ecrits += block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        f.write(block.constData(), std::min<qint64>(block.size(), kOctets - ecrits));
    }
}

void BM_EnergieLit_rebuild(benchmark::State& state) {
    const QString gpx = folder->filePath(QStringLiteral("HOUR0001.gpx"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(gpx);
        ks3::resetTraceLog();
        state.ResumeTiming();
        std::int32_t count = 0;
        QByteArray niveaux;
        ks3::EnergieLit(count, son, kDuree, niveaux, QStringLiteral("Bench"));
        if (count != kOctets / 768)
            state.SkipWithError("unexpected level count");
    }
    state.SetBytesProcessed(state.iterations() * kOctets);
}
BENCHMARK(BM_EnergieLit_rebuild)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_cat(benchmark::State& state) {
    for (auto _ : state) {
        QProcess cat;
        cat.setStandardOutputFile(QStringLiteral("/dev/null"));
        cat.start(QStringLiteral("cat"), {son});
        if (!cat.waitForFinished(-1) || cat.exitCode() != 0)
            state.SkipWithError("cat failed");
    }
    state.SetBytesProcessed(state.iterations() * kOctets);
}
BENCHMARK(BM_cat)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    makeSound();
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double rebuild = reporter.find("BM_EnergieLit_rebuild/").real;
    const double cat = reporter.find("BM_cat/").real;
    if (rebuild > 0 && cat > 0) {
        const double mb = static_cast<double>(kOctets) / 1e6;
        std::printf("rebuild: %.0f MB/s, cat: %.0f MB/s\n", mb / rebuild * 1e3, mb / cat * 1e3);
        std::printf("ratio rebuild/cat: %.2f (limit 1.50)\n", rebuild / cat);
    }
    delete folder;
    benchmark::Shutdown();
    return 0;
}
