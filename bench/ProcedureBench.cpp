// The cost of running a step under the error handler when nothing fails: with
// the origin built only on failure, against an origin text built at every call.
#include "TimesReporter.h"
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double lazy = reporter.find("BM_StepLazyOrigin").real;
    const double eager = reporter.find("BM_StepOriginBuiltAtEveryCall").real;
    if (lazy > 0 && eager > 0)
        std::printf("Ratio (origin built at every call / lazy origin): %.1fx\n", eager / lazy);
    benchmark::Shutdown();
    return 0;
}
