// File_Copy of a 50 MB file against the system's cp on the same file system,
// followed by a sync of the copied file: File_Copy syncs its copy to disk
// before it returns, a plain cp leaves it in the page cache. The ratio
// (File_Copy time / cp + sync time) is printed last.
#include "TimesReporter.h"
#include "common/FileUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QTemporaryDir* folder = nullptr;
QString source;

void makeSource() {
    folder = new QTemporaryDir(QStringLiteral("/tmp/ks3bench-XXXXXX"));
    source = folder->filePath(QStringLiteral("source.wav"));
    QFile f(source);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    QByteArray block(1 << 20, '\0');
    for (int i = 0; i < 50; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        f.write(block);
    }
}

void BM_File_Copy(benchmark::State& state) {
    const QString target = folder->filePath(QStringLiteral("copy.wav"));
    for (auto _ : state) {
        if (!ks3::File_Copy(source, target))
            state.SkipWithError("File_Copy failed");
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * 50ll * (1 << 20));
}
BENCHMARK(BM_File_Copy)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_cp_sync(benchmark::State& state) {
    const QString target = folder->filePath(QStringLiteral("cp.wav"));
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral("cp"),
                              {QStringLiteral("--preserve=timestamps"), source, target}) != 0)
            state.SkipWithError("cp failed");
        // sync with a file name flushes that file alone (fsync), as File_Copy does.
        if (QProcess::execute(QStringLiteral("sync"), {target}) != 0)
            state.SkipWithError("sync failed");
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * 50ll * (1 << 20));
}
BENCHMARK(BM_cp_sync)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    makeSource();
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copy = reporter.find("BM_File_Copy/").real;
    const double cp = reporter.find("BM_cp_sync/").real;
    if (copy > 0 && cp > 0)
        std::printf("ratio File_Copy/(cp + sync): %.2f (limit 1.50)\n", copy / cp);
    delete folder;
    benchmark::Shutdown();
    return 0;
}
