// The 18-band equaliser on three minutes of stereo 44.1 kHz sound to WAV:
// CoreConverter with its "Graphic Equalizer" against the ffmpeg command with
// `-af superequalizer` and the same 18 gains, both started as processes, the
// runs of the two alternated. Prints the ratio of the best times last.

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
#include <numbers>
#include <sys/resource.h>
#include <vector>

namespace {

QString g_source;
QString g_folder;
// The gains of the 18 bands, in dB.
const double kGainsDb[18] = {6, -3, 4.5, 0.5, -6, 2, 3, -1.5, 8, -4, 1, 5, -2.5, 3.5, -7, 2.5, 1.5, -1};

// Three minutes of music-like sound: tones and noise, different on each side.
bool writeSource(const QString& path) {
    const int rate = 44100, seconds = 180, channels = 2;
    const quint32 frames = rate * seconds;
    const quint32 bytes = frames * channels * 2;
    QByteArray b;
    b.reserve(int(44 + bytes));
    auto put16 = [&](quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)), put16(quint16(v >> 16)); };
    b.append("RIFF");
    put32(36 + bytes);
    b.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(channels);
    put32(rate);
    put32(rate * channels * 2);
    put16(channels * 2);
    put16(16);
    b.append("data");
    put32(bytes);
    quint32 s = 12345;
    for (quint32 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        for (int c = 0; c < channels; ++c) {
            s ^= s << 13, s ^= s >> 17, s ^= s << 5;
            const double n = double(s) / 4294967296.0 - 0.5;
            const double x = 0.2 * std::sin(2 * std::numbers::pi * (220.0 + 110 * c) * t) +
                             0.1 * std::sin(2 * std::numbers::pi * 3330.0 * t) + 0.1 * n;
            put16(quint16(qint16(std::lround(x * 32767))));
        }
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size())
        return false;
    f.close();
    // The converter refuses a file modified in the last seconds.
    QFile g(path);
    return g.open(QIODevice::ReadWrite) &&
           g.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
}

double childrenCpuMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

bool run(benchmark::State& state, const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    const double cpu = childrenCpuMs();
    p.start(program, args);
    const bool ok = p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    state.counters["child_cpu_ms"] = childrenCpuMs() - cpu;
    return ok;
}

void BM_CoreConverter(benchmark::State& state) {
    QStringList tenths;
    for (double g : kGainsDb)
        tenths << QString::number(std::lround(g * 10));
    const QString out = g_folder + "/core.wav";
    for (auto _ : state) {
        QFile::remove(out);
        if (!run(state, QStringLiteral(KS3_BIN_DIR "/CoreConverter"),
                 {"-infile=" + g_source, "-outfile=" + out,
                  "-errorfile=" + g_folder + "/Err_Convert/core.Log",
                  "-dspeffect1=Graphic Equalizer= -EQ={qt}" + tenths.join(", ") + "{qt}", "-convert_to=wave",
                  "-compression=PCM", "-bits=16", "-freq=44100"}))
            state.SkipWithError("CoreConverter failed");
    }
}

void BM_FfmpegSuperequalizer(benchmark::State& state) {
    QStringList gains;
    for (int b = 0; b < 18; ++b)
        gains << QStringLiteral("%1b=%2").arg(b + 1).arg(std::pow(10.0, kGainsDb[b] / 20.0), 0, 'f', 4);
    const QString out = g_folder + "/ffmpeg.wav";
    for (auto _ : state) {
        if (!run(state, QStringLiteral("ffmpeg"),
                 {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", g_source, "-af",
                  "superequalizer=" + gains.join(':'), "-c:a", "pcm_s16le", "-ar", "44100", out}))
            state.SkipWithError("ffmpeg failed");
    }
}

BENCHMARK(BM_FfmpegSuperequalizer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BM_CoreConverter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

// Keeps the best real and CPU times of each benchmark while printing as usual.
class BestTimes : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> bestReal, bestCpu;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred)
                continue;
            const std::string name = r.run_name.function_name;
            keepLowest(bestReal, name, r.GetAdjustedRealTime());
            if (const auto c = r.counters.find("child_cpu_ms"); c != r.counters.end())
                keepLowest(bestCpu, name, c->second.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    static void keepLowest(std::map<std::string, double>& m, const std::string& k, double v) {
        if (!m.count(k) || v < m[k])
            m[k] = v;
    }
};

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
    if (!writeSource(g_source)) {
        std::fprintf(stderr, "cannot write the source file\n");
        return 1;
    }
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatio("CPU time of the process", reporter.bestCpu);
    printRatio("Real time", reporter.bestReal);
    return 0;
}
