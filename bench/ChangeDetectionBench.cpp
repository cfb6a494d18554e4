// A conversion run over 10 000 files that are all unchanged since their
// conversion (10 source folders of 10 subfolders of 100 files): the walk, the
// history look-ups and the decisions, nothing converted. The reference is
// `find` listing the same tree with modification times and sizes. The run's
// one-second pause after each source entry is left out (the clock does not
// wait); the ratio run / find is printed last.
#include "ChildProcess.h"
#include "NoWaitClock.h"
#include "TimesReporter.h"
#include "common/Clock.h"
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/ConversionHistory.h"
#include "engine/ConversionRun.h"
#include "engine/HistoryRunSteps.h"
#include "engine/RunState.h"
#include "runtime/Services.h"
#include "settings/Settings.h"
#include "settings/SourceTypes.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

using namespace ks3;

namespace {

constexpr int SourceFolders = 10;
constexpr int Subfolders = 10;
constexpr int FilesPerFolder = 100;

// The program's own steps; a conversion only marks the attempt successful in
// the history, as the converter would.
class CountingSteps final : public RunSteps {
public:
    bool prime = true;
    long compared = 0;
    long converted = 0;
    void beginFolder(const QStringList& sources) override { history_.beginFolder(sources); }
    CompareResult compare(const QString& source, const QString& target) override {
        ++compared;
        return history_.compare(source, target);
    }
    void convert(const CompareResult& found, const QString&, const QString&) override {
        ++converted;
        if (prime)
            EnregistrerTentative(found.idEntete, found.dateFichierSource, ks3::clock().now(),
                                 ks3::clock().now(), found.tailleFichierSource, QStringLiteral("O"),
                                 QString(), QStringLiteral("N"));
    }

private:
    HistoryRunSteps history_;
};

struct Fixture {
    QTemporaryDir dir;
    ks3::bench::NoWaitClock noWait;
    UnattendedMessageBoxService boxes;
    CountingSteps steps;
    QString tree;

    Fixture() {
        tree = dir.path() + QStringLiteral("/in/");
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        const QByteArray bytes(2048, 'x');
        for (int s = 0; s < SourceFolders; ++s)
            for (int d = 0; d < Subfolders; ++d) {
                const QString folder = tree + QStringLiteral("src%1/sub%2/").arg(s).arg(d);
                QDir().mkpath(folder);
                for (int n = 0; n < FilesPerFolder; ++n) {
                    QFile f(
                        folder +
                        QStringLiteral("Track %1-%2-%3.wav").arg(s).arg(d).arg(n, 3, 10, QLatin1Char('0')));
                    f.open(QIODevice::WriteOnly);
                    f.write(bytes);
                    f.flush();
                    f.setFileTime(old, QFileDevice::FileModificationTime);
                }
            }

        Services benchServices;
        benchServices.clock = &noWait;
        benchServices.questions = &boxes;
        benchServices.runSteps = &steps;
        installServices(benchServices);
        workingFolders().dataFolder = dir.path() + QStringLiteral("/data/");
        workingFolders().logTechFolder = dir.path() + QStringLiteral("/logs/");
        workingFolders().nbStation = 1;
        QDir().mkpath(workingFolders().dataFolder);
        QDir().mkpath(workingFolders().logTechFolder);
        InitGeneralData();
        FichierPervasiveOuvrir(0, 1, 1, 41);
        FichierPervasiveOuvrir(0, 1, 1, 42);

        Settings& st = settings();
        st.setChargementSetup(true);
        for (int s = 0; s < SourceFolders; ++s) {
            st.setText(SettingId::DossiersSource, s, tree + QStringLiteral("src%1/").arg(s));
            st.setText(SettingId::DossiersCible, s, dir.path() + QStringLiteral("/out%1/").arg(s));
        }
        st.setNumber(SettingId::DossiersSourceRecursive, 0, 1);
        st.setNumber(SettingId::DossiersCibleRecursive, 0, 1);
        for (const SourceType& t : sourceTypes())
            if (t.libelle.startsWith(QStringLiteral("Wave (")))
                st.setNumber(SettingId::FichiersSource, t.code, 1);
        st.choisirCible(2); // MPEG-1 Layer 3

        // The first run creates every header and records every conversion.
        LancerAnalyseConvert();
        steps.prime = false;
        std::printf("History primed: %ld files compared, %ld conversions recorded\n", steps.compared,
                    steps.converted);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void Run(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.steps.compared = 0;
        f.steps.converted = 0;
        LancerAnalyseConvert();
        if (f.steps.compared != SourceFolders * Subfolders * FilesPerFolder || f.steps.converted != 0) {
            std::printf("compared %ld, converted %ld\n", f.steps.compared, f.steps.converted);
            state.SkipWithError("the run did not find every file unchanged");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * SourceFolders * Subfolders * FilesPerFolder);
}

void Find(benchmark::State& state) {
    Fixture& f = fixture();
    const double cpuBefore = ks3::bench::childrenCpuMs();
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("find"), {f.tree, QStringLiteral("-type"), QStringLiteral("f"),
                                         QStringLiteral("-printf"), QStringLiteral("%T@ %s %p\\n")});
        p.waitForFinished(-1);
        const QByteArray out = p.readAllStandardOutput();
        if (out.count('\n') != SourceFolders * Subfolders * FilesPerFolder) {
            state.SkipWithError("find did not list every file");
            break;
        }
    }
    // find's own processor time (user + system), per listing.
    state.counters["find_cpu_ms"] = (ks3::bench::childrenCpuMs() - cpuBefore) / double(state.iterations());
    state.SetItemsProcessed(state.iterations() * SourceFolders * Subfolders * FilesPerFolder);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    fixture();
    // Medians of 5 measures each: both sides wait for the disk and the machine.
    for (auto* b : {benchmark::RegisterBenchmark("UnchangedRun/10000", Run),
                    benchmark::RegisterBenchmark("Find/10000", Find)})
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double run = reporter.find("UnchangedRun/10000/repeats:5/real_time_median").real;
    const double find = reporter.find("Find/10000/repeats:5/real_time_median").real;
    // On a machine shared with other work the wall times wait for the processor;
    // the processor times of the two do not.
    const double runCpu = reporter.find("UnchangedRun/10000/repeats:5/real_time_median").cpu;
    const double findCpu = reporter.find("Find/10000/repeats:5/real_time_median").counter("find_cpu_ms");
    if (runCpu > 0 && findCpu > 0)
        std::printf(
            "\nRun over 10 000 unchanged files / find, median processor time: %.1f ms / %.1f ms = %.2f\n",
            runCpu, findCpu, runCpu / findCpu);
    if (run > 0 && find > 0)
        std::printf("Run over 10 000 unchanged files / find, median wall time: %.2f (target: within 3)\n",
                    run / find);
    benchmark::Shutdown();
    installServices(Services());
    return 0;
}
