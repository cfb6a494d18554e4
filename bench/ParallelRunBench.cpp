// A run converting 20 one-minute WAV files to MP3 256 kbit/s with one
// conversion per processor (the setting at 0), through the real converter,
// against `xargs -P<processors> ffmpeg` on the same files. The run's
// one-second pause after each source entry is left out (the clock does not
// wait). Runs of the two alternate; the ratio of the best times is printed last.
#include "BenchSound.h"
#include "BestTimes.h"
#include "NoWaitClock.h"
#include "common/Clock.h"
#include "common/MessageBoxService.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/ConversionRun.h"
#include "engine/RunState.h"
#include "runtime/Services.h"
#include "settings/Settings.h"
#include "settings/SourceTypes.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>

using namespace ks3;

namespace {

constexpr int kFiles = 20;

QTemporaryDir* g_dir = nullptr;
QStringList g_sources;

QString inFolder() {
    return g_dir->path() + QStringLiteral("/in/");
}
QString outFolder() {
    return g_dir->path() + QStringLiteral("/out/");
}

// A fresh target folder and an empty history before each run.
void clean() {
    QDir(outFolder()).removeRecursively();
    QDir(g_dir->path() + QStringLiteral("/ffmpeg")).removeRecursively();
    QDir().mkpath(g_dir->path() + QStringLiteral("/ffmpeg"));
    static int runs = 0;
    if (runs++ > 0) {
        FichierPervasiveFermer(0, 1, 1, 42);
        FichierPervasiveFermer(0, 1, 1, 41);
    }
    workingFolders().dataFolder = g_dir->path() + QStringLiteral("/data%1/").arg(runs);
    QDir().mkpath(workingFolders().dataFolder);
    InitGeneralData();
    FichierPervasiveOuvrir(0, 1, 1, 41);
    FichierPervasiveOuvrir(0, 1, 1, 42);
}

void BM_Run(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        clean();
        state.ResumeTiming();
        LancerAnalyseConvert();
        state.PauseTiming();
        int written = 0;
        for (const QString& s : g_sources)
            written += QFile::exists(outFolder() + QFileInfo(s).completeBaseName() + QStringLiteral(".mp3"));
        if (written != kFiles)
            state.SkipWithError("the run did not convert every file");
        state.ResumeTiming();
    }
}

void BM_XargsFfmpeg(benchmark::State& state) {
    const QString processors = QString::number(std::max(1, QThread::idealThreadCount()));
    for (auto _ : state) {
        state.PauseTiming();
        clean();
        QByteArray list;
        for (const QString& s : g_sources)
            list += QFile::encodeName(s) + '\n';
        state.ResumeTiming();
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.setWorkingDirectory(g_dir->path() + QStringLiteral("/ffmpeg"));
        p.start(QStringLiteral("xargs"),
                {"-P", processors, "-I{}", "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                 "-i", "{}", "-c:a", "libmp3lame", "-b:a", "256k", "-ar", "44100", "{}.mp3"});
        p.write(list);
        p.closeWriteChannel();
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            state.SkipWithError("xargs ffmpeg failed");
        state.PauseTiming();
        for (const QString& s : g_sources)
            QFile::remove(s + QStringLiteral(".mp3"));
        state.ResumeTiming();
    }
}

BENCHMARK(BM_XargsFfmpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Run)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ks3bench-XXXXXX"));
    g_dir = &dir;
    QDir().mkpath(inFolder());
    for (int i = 0; i < kFiles; ++i) {
        const QString path = inFolder() + QStringLiteral("Track %1.wav").arg(i, 2, 10, QLatin1Char('0'));
        if (!ks3::bench::writeMusicWav(path, 60, i)) {
            std::fprintf(stderr, "cannot write the source files\n");
            return 1;
        }
        g_sources << path;
    }

    ks3::bench::NoWaitClock noWait;
    UnattendedMessageBoxService boxes;
    Services benchServices;
    benchServices.clock = &noWait;
    benchServices.questions = &boxes;
    installServices(benchServices);
    workingFolders().logTechFolder = dir.path() + QStringLiteral("/logs/");
    workingFolders().nbStation = 1;
    QDir().mkpath(workingFolders().logTechFolder);
    programValues().convertisseurLigneCommande = true;
    programValues().cheminConvertisseur = QStringLiteral(KS3_BIN_DIR "/CoreConverter");

    Settings& st = settings();
    st.setChargementSetup(true);
    st.setText(SettingId::DossiersSource, 0, inFolder());
    st.setText(SettingId::DossiersCible, 0, outFolder());
    for (const SourceType& t : sourceTypes())
        if (t.libelle.startsWith(QStringLiteral("Wave (")))
            st.setNumber(SettingId::FichiersSource, t.code, 1);
    st.choisirCible(2);                                            // MPEG-1 Layer 3
    st.setNumber(SettingId::FichiersCibleCaracteristiques, 0, 2);  // 256 kbit/s 44100 Hz
    st.setNumber(SettingId::FichiersConversionsSimultanees, 0, 0); // one per processor

    ks3::bench::initializeInterleaved(argc, argv);
    ks3::bench::BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    FichierPervasiveFermer(0, 1, 1, 42);
    FichierPervasiveFermer(0, 1, 1, 41);
    installServices(Services());
    const auto r = reporter.bestReal.find("BM_Run"), x = reporter.bestReal.find("BM_XargsFfmpeg");
    if (r != reporter.bestReal.end() && x != reporter.bestReal.end() && x->second > 0)
        std::printf("Run of %d one-minute files, one conversion per processor / xargs -P%d ffmpeg, best real "
                    "time: %.0f ms / %.0f ms = %.2f (goal: within 1.2)\n",
                    kFiles, QThread::idealThreadCount(), r->second, x->second, r->second / x->second);
    return 0;
}
