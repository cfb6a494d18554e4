// One minute of stereo 44.1 kHz sound to MP3 at 256 kbit/s: CoreConverter
// against the ffmpeg command on the same file, both started as processes with
// argument lists. Prints the ratio of the two times last.

#include "BenchSound.h"
#include "BestTimes.h"
#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

QString g_source;
QString g_folder;

void BM_CoreConverter(benchmark::State& state) {
    const QString out = g_folder + "/core.mp3";
    const QStringList args = {
        "-infile=" + g_source,    "-outfile=" + out, "-errorfile=" + g_folder + "/Err_Convert/core.Log",
        "-convert_to=mp3 (Lame)", "-s=44100",        "-b=256"};
    for (auto _ : state) {
        if (!ks3::bench::runChild(state, QStringLiteral(KS3_BIN_DIR "/CoreConverter"), args, 300000))
            state.SkipWithError("CoreConverter failed");
    }
}

void BM_FfmpegCommand(benchmark::State& state) {
    const QString out = g_folder + "/ffmpeg.mp3";
    const QStringList args = {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",  "-i",    g_source,
                              "-c:a",     "libmp3lame",   "-b:a",      "256k",  "-ar", "44100", out};
    for (auto _ : state) {
        if (!ks3::bench::runChild(state, QStringLiteral("ffmpeg"), args, 300000))
            state.SkipWithError("ffmpeg failed");
    }
}

// The repetitions of the two are interleaved (see main), so that a change in
// the machine's load falls on both.
BENCHMARK(BM_FfmpegCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_CoreConverter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

void printRatio(const char* what, const std::map<std::string, double>& m) {
    const auto c = m.find("BM_CoreConverter"), f = m.find("BM_FfmpegCommand");
    if (c != m.end() && f != m.end() && f->second > 0)
        std::printf("%s, best of each: CoreConverter %.1f ms / ffmpeg %.1f ms = ratio %.3f\n", what,
                    c->second, f->second, c->second / f->second);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + "/ks3bench-XXXXXX");
    g_folder = dir.path();
    g_source = g_folder + "/minute.wav";
    if (!ks3::bench::writeMusicWav(g_source, 60)) {
        std::fprintf(stderr, "cannot write the source file\n");
        return 1;
    }
    ks3::bench::initializeInterleaved(argc, argv);
    ks3::bench::BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatio("CPU time of the process", reporter.bestCpu);
    printRatio("Real time", reporter.bestReal);
    return 0;
}
