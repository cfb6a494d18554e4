// Datagrams received and handed over per second on one receive row (datagram
// back-end, a command handler that does nothing, the trace line of each
// arrival written to the day's file in batches as the program does), against a
// plain QUdpSocket reader of the same datagrams in the same run.
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "settings/Settings.h"
#include "udp/Frm_MainBis.h"
#include "udp/UdpRows.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kLot = 32; // sent before waiting for them, well under the socket's buffer
double debitLigne = 0;
double debitQt = 0;

// Sends batches of datagrams to `port` and waits for `recus` to count them.
template <class Recus> void envoieParLots(benchmark::State& state, quint16 port, const Recus& recus) {
    QUdpSocket emetteur;
    const QByteArray texte("<Do:Convert><Song:00012345><Dest:/srv/sons/Musique/>");
    std::int64_t attendus = 0;
    for (auto _ : state) {
        for (int i = 0; i < kLot; ++i)
            emetteur.writeDatagram(texte, QHostAddress::LocalHost, port);
        attendus += kLot;
        while (recus() < attendus)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    state.SetItemsProcessed(attendus);
}

void BM_LigneDeReception(benchmark::State& state) {
    QTemporaryDir dir;
    ks3::resetTraceLog();
    ks3::workingFolders().logTechFolder = dir.path() + QLatin1Char('/');
    ks3::traceLists().frmSetupCharge = true;
    std::int64_t remis = 0;
    ks3::frmMainBis().setGestionnaireCommande([&](int, const QString&) { ++remis; });
    ks3::LierCasesActivationUDP();
    QUdpSocket libre;
    libre.bind(QHostAddress::LocalHost, 0);
    const quint16 port = libre.localPort();
    libre.close();
    ks3::settings().setText(ks3::SettingId::UdpInIP, 0, QStringLiteral("127.0.0.1"));
    ks3::settings().setText(ks3::SettingId::UdpInPort, 0, QString::number(port));
    ks3::settings().setNumber(ks3::SettingId::UdpInActif, 0, 1);
    envoieParLots(state, port, [&] { return remis; });
    ks3::settings().setNumber(ks3::SettingId::UdpInActif, 0, 0);
    ks3::frmMainBis().setGestionnaireCommande({});
    ks3::resetTraceLog();
}
BENCHMARK(BM_LigneDeReception)->MinTime(2.0)->UseRealTime();

void BM_QUdpSocketSeul(benchmark::State& state) {
    QUdpSocket lecteur;
    lecteur.bind(QHostAddress::LocalHost, 0);
    std::int64_t lus = 0;
    QObject::connect(&lecteur, &QUdpSocket::readyRead, [&] {
        while (lecteur.hasPendingDatagrams()) {
            const QNetworkDatagram d = lecteur.receiveDatagram();
            if (!d.data().isEmpty())
                ++lus;
        }
    });
    envoieParLots(state, lecteur.localPort(), [&] { return lus; });
}
BENCHMARK(BM_QUdpSocketSeul)->MinTime(2.0)->UseRealTime();

// Keeps the rate of each run, to print their ratio at the end.
class Rapport : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const auto it = r.counters.find("items_per_second");
            if (it == r.counters.end())
                continue;
            (r.benchmark_name().find("Ligne") != std::string::npos ? debitLigne : debitQt) = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Rapport rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    if (debitQt > 0)
        std::printf("Receive row: %.0f datagrams/s, plain QUdpSocket: %.0f datagrams/s, ratio %.2f\n",
                    debitLigne, debitQt, debitLigne / debitQt);
    benchmark::Shutdown();
    return 0;
}
