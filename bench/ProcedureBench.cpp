// The cost of running a step under the error handler when nothing fails: with
// the origin built only on failure, against an origin text built at every call.
#include "common/ErrorRoutine.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

int work = 0;

void BM_StepLazyOrigin(benchmark::State& state) {
    for (auto _ : state) {
        ks3::Procedure p("Lib_Public", "TraceLog");
        p.step(10, [] { benchmark::DoNotOptimize(++work); });
    }
}
BENCHMARK(BM_StepLazyOrigin);

void BM_StepOriginBuiltAtEveryCall(benchmark::State& state) {
    for (auto _ : state) {
        ks3::Procedure p(QString::fromLatin1("Lib_Public") + QLatin1Char(':') +
                         QString::fromLatin1("TraceLog"));
        p.step(10, [] { benchmark::DoNotOptimize(++work); });
    }
}
BENCHMARK(BM_StepOriginBuiltAtEveryCall);

// Keeps the mean time per iteration of each benchmark, to print the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    double lazy = 0, eager = 0;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.benchmark_name() == "BM_StepLazyOrigin")
                lazy = r.GetAdjustedRealTime();
            else if (r.benchmark_name() == "BM_StepOriginBuiltAtEveryCall")
                eager = r.GetAdjustedRealTime();
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.lazy > 0 && reporter.eager > 0)
        std::printf("Ratio (origin built at every call / lazy origin): %.1fx\n",
                    reporter.eager / reporter.lazy);
    benchmark::Shutdown();
    return 0;
}
