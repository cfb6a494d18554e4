// Saving the whole settings: one replacement of the file for every key, against
// one replacement per key (what a write per key would cost).
#include "platform/IniFile.h"
#include "settings/SettingId.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

using namespace ks3;

namespace {

QList<IniEntree> toutesLesCles(int tour) {
    QList<IniEntree> e;
    for (int i = 0; i < kNombreSettingIds; ++i) {
        const auto id = static_cast<SettingId>(i);
        for (int n = 0; n < std::max(1, settingDef(id).count); ++n)
            if (settingStocke(id, n))
                e.push_back({QString::fromLatin1(settingDef(id).section), settingKey(id, n),
                             QStringLiteral("valeur %1 %2").arg(n).arg(tour)});
    }
    return e;
}

double g_groupe = 0, g_parCle = 0;

void BM_SaveOneReplacement(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/KS3_Tools_Convert.Ini");
    int tour = 0;
    const auto debut = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(EcritureIni(file, toutesLesCles(++tour)));
    g_groupe = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() /
               static_cast<double>(state.iterations());
}

void BM_SaveOneReplacementPerKey(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/KS3_Tools_Convert.Ini");
    int tour = 0;
    const auto debut = std::chrono::steady_clock::now();
    for (auto _ : state)
        for (const IniEntree& e : toutesLesCles(++tour))
            benchmark::DoNotOptimize(EcritureIni(file, e.section, e.key, e.value));
    g_parCle = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() /
               static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_SaveOneReplacement)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveOneReplacementPerKey)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_groupe > 0 && g_parCle > 0)
        std::printf("ratio per-key / one replacement (time per save): %.1f\n", g_parCle / g_groupe);
    return 0;
}
