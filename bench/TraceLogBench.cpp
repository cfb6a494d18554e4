// Lines traced per second, with the batches of 200 lines written to the day's
// file as the program does.
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_TraceLog(benchmark::State& state) {
    QTemporaryDir dir;
    ks3::resetTraceLog();
    ks3::workingFolders().logTechFolder = dir.path() + QLatin1Char('/');
    ks3::traceLists().frmSetupCharge = true;
    const QString message = QStringLiteral("Conversion: Source: /srv/sons/Musique/Artiste - Titre.wav OK");
    for (auto _ : state)
        ks3::TraceLog(-1, -1, -1, message);
    state.SetItemsProcessed(state.iterations());
    ks3::resetTraceLog();
}
BENCHMARK(BM_TraceLog)->MinTime(2.0);

void BM_TraceLogForcedEvery50(benchmark::State& state) {
    QTemporaryDir dir;
    ks3::resetTraceLog();
    ks3::workingFolders().logTechFolder = dir.path() + QLatin1Char('/');
    ks3::traceLists().frmSetupCharge = true;
    const QString message = QStringLiteral("UDP: Receipt: <Do:Convert><Song:00012345>");
    std::int64_t n = 0;
    for (auto _ : state)
        ks3::TraceLog(2, -1, -1, message, ++n % 50 == 0);
    state.SetItemsProcessed(state.iterations());
    ks3::resetTraceLog();
}
BENCHMARK(BM_TraceLogForcedEvery50)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
