// The history's search and purge on real record files.
//
// Search: a "Fichier" search listing 1 000 headers out of 100 000, through the
// record layer, against the same range read with plain SQLite statements on
// the same file (the same rows built from the records); the ratio is printed
// last (limit 2.00).
// Purge: 10 000 headers and 20 000 details deleted, in records per second.
#include "TimesReporter.h"

#include "common/MessageBoxService.h"
#include "common/WorkingFolders.h"
#include "history/DateHeureHistorique.h"
#include "history/PurgeHistorique.h"
#include "history/RechercheHistorique.h"
#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "runtime/Services.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

using namespace ks3;

namespace {

constexpr int kHeaders = 100000;
constexpr int kListed = 1000;

// Answers "Oui" to every question of the purge.
class Yes : public MessageBoxService {
public:
    int choiceBox(const ChoiceBoxRequest& r) override {
        const int i = int(r.buttons.indexOf(QStringLiteral("Oui")));
        return i >= 0 ? i + 1 : 1;
    }
};

void begin() {
    QString k;
    BTRieve(0, btr::OpBeginTransaction, k, 0, EnregConvertEntete::NoFichier, 1, QString());
}
void end() {
    QString k;
    BTRieve(0, btr::OpEndTransaction, k, 0, EnregConvertEntete::NoFichier, 1, QString());
}

void insertHeader(int n, const QString& name) {
    EnregConvertEntete& e = enregConvertEntete();
    e.setIdEntete(n);
    e.setNomFichierSource(name);
    e.setDossierSource(QStringLiteral("/srv/radio/Sons/%1").arg(n % 100));
    e.setDateTraitement(QStringLiteral("202402%1080509").arg(1 + n % 28, 2, 10, QLatin1Char('0')));
    e.setDateFichierSource(QStringLiteral("20240101101010"));
    e.setTailleFichierSource(n);
    e.setConversionOK(QStringLiteral("O"));
    QString key(10, QLatin1Char(' '));
    BTRieve(0, btr::OpInsert, key, 0, EnregConvertEntete::NoFichier, 1, QString());
}

void insertDetail(int n, int d) {
    EnregConvertDetail& e = enregConvertDetail();
    e.setIdEntete(n);
    e.setIdDetail(d);
    e.setConversionOK(QStringLiteral("O"));
    QString key(20, QLatin1Char(' '));
    BTRieve(0, btr::OpInsert, key, 0, EnregConvertDetail::NoFichier, 1, QString());
}

struct History {
    QTemporaryDir dir;
    History() {
        resetBtrieveState();
        resetRecordBuffers();
        InitGeneralData();
        workingFolders().dataFolder = dir.path() + QLatin1Char('/');
        workingFolders().logTechFolder = dir.path() + QLatin1Char('/');
        workingFolders().nbStation = 1;
        FichierPervasiveOuvrir(0, 1, 1, 41);
        FichierPervasiveOuvrir(0, 1, 1, 42);
    }
    ~History() {
        FichierPervasiveFermer(0, 1, 1, 42);
        FichierPervasiveFermer(0, 1, 1, 41);
        resetBtrieveState();
    }
    QString headersFile() const { return dir.path() + QStringLiteral("/FRAD041.bt6"); }
};

History& searched() {
    static History* h = [] {
        auto* history = new History;
        for (int n = 1; n <= kHeaders; ++n) {
            if (n % 1000 == 1)
                begin();
            // One name in a hundred begins with "m": 1 000 of them.
            const QString name =
                (n % 100 == 0 ? QStringLiteral("m%1.wav") : QStringLiteral("n%1.wav")).arg(n);
            insertHeader(n, name);
            if (n % 1000 == 0)
                end();
        }
        return history;
    }();
    return *h;
}

void HistorySearch_RecordLayer(benchmark::State& state) {
    searched();
    for (auto _ : state) {
        int rows = 0;
        RechercherEntetes(TypeRecherche::Fichier, QStringLiteral("m"), QString(), [&](const LigneEntete& l) {
            benchmark::DoNotOptimize(l.id);
            ++rows;
        });
        if (rows != kListed)
            state.SkipWithError("wrong number of rows");
    }
}
BENCHMARK(HistorySearch_RecordLayer)->Unit(benchmark::kMillisecond);

void HistorySearch_PlainSqlite(benchmark::State& state) {
    History& h = searched();
    sqlite3* db = nullptr;
    sqlite3_open_v2(h.headersFile().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT data FROM records WHERE k1 >= ?1 AND k1 <= ?2 ORDER BY k1, s1", -1,
                           &st, nullptr) != SQLITE_OK)
        std::abort();
    const QByteArray low = QByteArray("M").leftJustified(50, ' ');
    const QByteArray high = QByteArray("M").leftJustified(50, 'Z');
    for (auto _ : state) {
        sqlite3_reset(st);
        sqlite3_bind_blob(st, 1, low.constData(), int(low.size()), SQLITE_STATIC);
        sqlite3_bind_blob(st, 2, high.constData(), int(high.size()), SQLITE_STATIC);
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const char* d = static_cast<const char*>(sqlite3_column_blob(st, 0));
            const LigneEntete l{
                fromCp1252(QByteArray(d + 10, 50)).trimmed(), fromCp1252(QByteArray(d + 149, 255)).trimmed(),
                DateHeureHistorique(fromCp1252(QByteArray(d + 60, 14))),
                DateHeureHistorique(fromCp1252(QByteArray(d + 74, 14))), fromCp1252(QByteArray(d, 10))};
            benchmark::DoNotOptimize(l.id);
            ++rows;
        }
        if (rows != kListed)
            state.SkipWithError("wrong number of rows");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}
BENCHMARK(HistorySearch_PlainSqlite)->Unit(benchmark::kMillisecond);

// Not a Google benchmark: one purge empties what it measures.
double purgeRecordsPerSecond() {
    History h;
    for (int n = 1; n <= 10000; ++n) {
        if (n % 500 == 1)
            begin();
        insertHeader(n, QStringLiteral("f%1.wav").arg(n));
        insertDetail(n, 1);
        insertDetail(n, 2);
        if (n % 500 == 0)
            end();
    }
    struct Nothing : SuiviPurge {
        void cleEnCours(const QString&) override {}
        void nombreSupprime(int) override {}
    } suivi;
    QElapsedTimer t;
    t.start();
    const int deleted = CommandPurgerBase_Click(QStringLiteral("Options"), suivi);
    const double s = double(t.nsecsElapsed()) / 1e9;
    if (deleted != 30000)
        std::fprintf(stderr, "purge deleted %d records\n", deleted);
    return deleted / s;
}

} // namespace

int main(int argc, char** argv) {
    Yes yes;
    Services s;
    s.questions = &yes;
    installServices(s);
    benchmark::Initialize(&argc, argv);
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto layer = reporter.find("HistorySearch_RecordLayer");
    const auto plain = reporter.find("HistorySearch_PlainSqlite");
    if (plain.real > 0)
        std::printf("\n\"Fichier\" search of 1000 headers out of 100000, record layer / plain SQLite "
                    "(limit 2.00): real %.2f  cpu %.2f\n",
                    layer.real / plain.real, layer.cpu / plain.cpu);
    std::printf("Purge of 10000 headers and 20000 details: %.0f records per second\n",
                purgeRecordsPerSecond());
    installServices(Services());
    return 0;
}
