// What the record layer costs over the bare record manager call, on a file of
// 10 000 conversion headers: Get Equal by header number and Get Next along
// key 0, through BTRieve (request block, call history, key conversions, status
// rules) and through BTRCALL directly on a cursor of its own. Ratios (layer
// time / direct time) are printed last.
#include "TimesReporter.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace ks3;

namespace {

constexpr int HeaderCount = 10000;
const QString kOrigin = QStringLiteral("FrmMain:CompareFichierEtDonnees");

QString headerId(long n) {
    return QString::number(n).rightJustified(10, QLatin1Char('0'));
}

struct Fixture {
    QTemporaryDir dir;
    btr::PositionBlock direct{};
    Fixture() {
        workingFolders().dataFolder = dir.path() + QLatin1Char('/');
        InitGeneralData();
        FichierPervasiveOuvrir(0, 1, 1, 41);
        QString key;
        BTRieve(0, 19, key, 0, 41, 1, QString());
        EnregConvertEntete& e = enregConvertEntete();
        for (long n = 1; n <= HeaderCount; ++n) {
            e.setIdEntete(n);
            e.setNomFichierSource(QStringLiteral("Track_%1.wav").arg(n));
            e.setDateTraitement(QStringLiteral("20240216080509"));
            e.setDossierSource(QStringLiteral("/srv/sons/entree/"));
            key = QString(10, QLatin1Char(' '));
            BTRieve(0, 2, key, 0, 41, 1, QString());
        }
        BTRieve(0, 20, key, 0, 41, 1, QString());
        QByteArray path = QFile::encodeName(workingFolders().dataFolder + NomFichierBTR(41, 0));
        path.append('\0');
        std::uint32_t length = 0;
        char data[1];
        BTRCALL(btr::OpOpen, &direct, data, &length, path.data(), std::uint16_t(path.size()), 0);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void LayerGetEqual(benchmark::State& state) {
    long n = 0;
    for (auto _ : state) {
        BtrRequestBlock& r = btrRequest();
        r.BtrOperation = 5;
        r.BtrCle = headerId(1 + (n++ * 7919) % HeaderCount);
        r.BtrNoCle = 0;
        r.BtrFichier = 41;
        BTRieve(0, 1, kOrigin);
        benchmark::DoNotOptimize(r.BtrStatut);
    }
    state.SetItemsProcessed(state.iterations());
}

void DirectGetEqual(benchmark::State& state) {
    EnregConvertEntete record;
    QByteArray key(255, ' ');
    long n = 0;
    for (auto _ : state) {
        const QByteArray id = headerId(1 + (n++ * 7919) % HeaderCount).toLatin1();
        std::memcpy(key.data(), id.constData(), size_t(id.size()));
        std::uint32_t length = record.size();
        benchmark::DoNotOptimize(
            BTRCALL(btr::OpGetEqual, &fixture().direct, record.data(), &length, key.data(), 255, 0));
    }
    state.SetItemsProcessed(state.iterations());
}

void LayerGetNext(benchmark::State& state) {
    BtrRequestBlock& r = btrRequest();
    r.BtrOperation = 12; // first
    r.BtrCle = QString();
    r.BtrNoCle = 0;
    r.BtrFichier = 41;
    BTRieve(0, 1, kOrigin);
    for (auto _ : state) {
        r.BtrOperation = r.BtrStatut == 0 ? 6 : 12;
        BTRieve(0, 1, kOrigin);
        benchmark::DoNotOptimize(r.BtrStatut);
    }
    state.SetItemsProcessed(state.iterations());
}

void DirectGetNext(benchmark::State& state) {
    EnregConvertEntete record;
    QByteArray key(255, ' ');
    std::uint32_t length = record.size();
    std::int16_t status =
        BTRCALL(btr::OpGetFirst, &fixture().direct, record.data(), &length, key.data(), 255, 0);
    for (auto _ : state) {
        length = record.size();
        status = BTRCALL(status == 0 ? btr::OpGetNext : btr::OpGetFirst, &fixture().direct, record.data(),
                         &length, key.data(), 255, 0);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv) {
    fixture();
    benchmark::RegisterBenchmark("GetEqual/layer", LayerGetEqual);
    benchmark::RegisterBenchmark("GetEqual/direct", DirectGetEqual);
    benchmark::RegisterBenchmark("GetNext/layer", LayerGetNext);
    benchmark::RegisterBenchmark("GetNext/direct", DirectGetNext);
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRecord layer / direct record manager call, time per operation:\n");
    for (const char* op : {"GetEqual", "GetNext"}) {
        const auto l = reporter.find(std::string(op) + "/layer");
        const auto d = reporter.find(std::string(op) + "/direct");
        if (l.real > 0 && d.real > 0)
            std::printf("  %-9s real %.2f  cpu %.2f\n", op, l.real / d.real, l.cpu / d.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
