// The 18-band equaliser on three minutes of stereo 44.1 kHz sound to WAV:
// CoreConverter with its "Graphic Equalizer" against the ffmpeg command with
// `-af superequalizer` and the same 18 gains, both started as processes, the
// runs of the two alternated. Prints the ratio of the best times last.

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
// The gains of the 18 bands, in dB.
const double kGainsDb[18] = {6, -3, 4.5, 0.5, -6, 2, 3, -1.5, 8, -4, 1, 5, -2.5, 3.5, -7, 2.5, 1.5, -1};

void BM_CoreConverter(benchmark::State& state) {
    QStringList tenths;
    for (double g : kGainsDb)
        tenths << QString::number(std::lround(g * 10));
    const QString out = g_folder + "/core.wav";
    const QStringList args = {"-infile=" + g_source,
                              "-outfile=" + out,
                              "-errorfile=" + g_folder + "/Err_Convert/core.Log",
                              "-dspeffect1=Graphic Equalizer= -EQ={qt}" + tenths.join(", ") + "{qt}",
                              "-convert_to=wave",
                              "-compression=PCM",
                              "-bits=16",
                              "-freq=44100"};
    for (auto _ : state) {
        QFile::remove(out);
        if (!ks3::bench::runChild(state, QStringLiteral(KS3_BIN_DIR "/CoreConverter"), args, 600000))
            state.SkipWithError("CoreConverter failed");
    }
}

void BM_FfmpegSuperequalizer(benchmark::State& state) {
    QStringList gains;
    for (int b = 0; b < 18; ++b)
        gains << QStringLiteral("%1b=%2").arg(b + 1).arg(std::pow(10.0, kGainsDb[b] / 20.0), 0, 'f', 4);
    const QString out = g_folder + "/ffmpeg.wav";
    const QStringList args = {"-nostdin",
                              "-hide_banner",
                              "-loglevel",
                              "error",
                              "-y",
                              "-i",
                              g_source,
                              "-af",
                              "superequalizer=" + gains.join(':'),
                              "-c:a",
                              "pcm_s16le",
                              "-ar",
                              "44100",
                              out};
    for (auto _ : state) {
        if (!ks3::bench::runChild(state, QStringLiteral("ffmpeg"), args, 600000))
            state.SkipWithError("ffmpeg failed");
    }
}

BENCHMARK(BM_FfmpegSuperequalizer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BM_CoreConverter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

void printRatio(const char* what, const std::map<std::string, double>& m) {
    const auto c = m.find("BM_CoreConverter"), f = m.find("BM_FfmpegSuperequalizer");
    if (c != m.end() && f != m.end() && f->second > 0)
        std::printf("%s, best of each: CoreConverter %.1f ms / ffmpeg superequalizer %.1f ms = ratio %.3f "
                    "(goal: at most 1.0)\n",
                    what, c->second, f->second, c->second / f->second);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + "/ks3bench-XXXXXX");
    g_folder = dir.path();
    g_source = g_folder + "/three-minutes.wav";
    if (!ks3::bench::writeMusicWav(g_source, 180)) {
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
