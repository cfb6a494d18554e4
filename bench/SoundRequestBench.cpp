// The time from a sound request to its reply, over the loopback network, for a
// sound already delivered and unchanged: no conversion, the energy file only
// read, the records of two stations updated (every write synced to disk). The
// request handler runs as the program installs it, behind a bound receive row;
// the reply comes back on a socket of the bench. Printed in milliseconds, the
// median of the runs last.
#include "TimesReporter.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "settings/Settings.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordFiles.h"
#include "udp/DetermineDossierSon.h"
#include "udp/LabelDataArrivalUDP_Change.h"
#include "udp/UdpRows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

namespace {

using ks3::SettingId;

constexpr int kStations = 2;
const QByteArray kRequete = "<Do:Convert><Song:JIN00123><SoundFile:%1>";

QTemporaryDir* dossier = nullptr;
QUdpSocket* reponses = nullptr;
quint16 portRow = 0;
QByteArray requete;

QString chemin(const char* relatif) {
    return dossier->filePath(QString::fromLatin1(relatif));
}

void inserer(int table, int station) {
    QString cle(10, QLatin1Char(' '));
    ks3::BTRieve(0, ks3::btr::OpInsert, cle, 0, table, station, QString());
    if (ks3::btrRequest().BtrStatut != 0)
        std::abort();
}

// A 44.1 kHz stereo tone of a few seconds, dated back (a file modified in the
// last seconds counts as still being written).
void ecrireSon(const QString& path, int secondes) {
    const int frames = 44100 * secondes;
    QByteArray pcm(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<qint16>(10000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        qToLittleEndian(v, pcm.data() + 4 * i);
        qToLittleEndian(v, pcm.data() + 4 * i + 2);
    }
    QByteArray wav("RIFF");
    wav += QByteArray(4, '\0') + "WAVEfmt ";
    QByteArray fmt(20, '\0');
    qToLittleEndian<quint32>(16, fmt.data());
    qToLittleEndian<quint16>(1, fmt.data() + 4);
    qToLittleEndian<quint16>(2, fmt.data() + 6);
    qToLittleEndian<quint32>(44100, fmt.data() + 8);
    qToLittleEndian<quint32>(44100 * 4, fmt.data() + 12);
    qToLittleEndian<quint16>(4, fmt.data() + 16);
    qToLittleEndian<quint16>(16, fmt.data() + 18);
    wav += fmt.mid(0, 20) + "data";
    QByteArray taille(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(pcm.size()), taille.data());
    wav += taille + pcm;
    qToLittleEndian<quint32>(static_cast<quint32>(wav.size() - 8), wav.data() + 4);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size())
        std::abort();
    f.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
}

// The records of a song on two stations, as the suite's other programs keep
// them, and the program's state as its start-up leaves it.
void preparer() {
    dossier = new QTemporaryDir(QStringLiteral("/tmp/ks3bench-XXXXXX"));
    QProcess outil;
    outil.start(QStringLiteral(KS3_BIN_DIR "/ks3_records"),
                {QStringLiteral("create"), chemin("data/"), QString::number(kStations)});
    if (!outil.waitForFinished(60000) || outil.exitCode() != 0)
        std::abort();
    ks3::workingFolders().dataFolder = chemin("data/");
    ks3::workingFolders().logTechFolder = chemin("log/");
    ks3::workingFolders().nbStation = kStations;
    ks3::traceLists().frmSetupCharge = true;
    ks3::InitGeneralData();
    ks3::PervasiveOuvertureFichiers(0, 1, kStations);
    for (int s = 1; s <= kStations; ++s) {
        for (const char* p : {"A", "B"}) {
            ks3::EnregPointeurs& e = ks3::enregPointeurs();
            e.setCodeMorceau(QStringLiteral("JIN00123"));
            e.setText(ks3::EnregPointeurs::Champ008, QString::fromLatin1(p));
            inserer(ks3::EnregPointeurs::NoFichier, s);
        }
        ks3::EnregMorceauMagneto& m = ks3::enregMorceauMagneto();
        m.setCodeMorceau(QStringLiteral("JIN00123"));
        m.setText(ks3::EnregMorceauMagneto::NoDriveChamp, QStringLiteral("0"));
        inserer(ks3::EnregMorceauMagneto::NoFichier, s);
        ks3::EnregMorceau& g = ks3::enregMorceau();
        g.setCodeMorceau(QStringLiteral("JIN00123"));
        g.setText(ks3::EnregMorceau::CodesArtistesChamp, QStringLiteral("ART01"), 0);
        g.setText(ks3::EnregMorceau::CodeCategorieChamp, QStringLiteral("CAT01"));
        g.setText(ks3::EnregMorceau::CodesThemesChamp, QStringLiteral("THM01"), 0);
        g.setDureeSecondes(100);
        inserer(ks3::EnregMorceau::NoFichier, s);
        ks3::EnregArtiste& a = ks3::enregArtiste();
        a.setCodeArtiste(QStringLiteral("ART01"));
        a.setTotalSecondes(1000);
        inserer(ks3::EnregArtiste::NoFichier, s);
        for (const char* type : {"CATEG", "THEME"}) {
            ks3::EnregVoixGroupe& v = ks3::enregVoixGroupe();
            v.setType(QString::fromLatin1(type));
            v.setCode(type[0] == 'C' ? QStringLiteral("CAT01") : QStringLiteral("THM01"));
            v.setTotalSecondes(500);
            inserer(ks3::EnregVoixGroupe::NoFichier, s);
        }
        ks3::EnregMorceauCles& c = ks3::enregMorceauCles();
        c.setTypeCle(QStringLiteral("DUREE"));
        c.setValeurCle(100);
        c.setCodeMorceau(QStringLiteral("JIN00123"));
        inserer(ks3::EnregMorceauCles::NoFichier, s);
    }

    ks3::ProgramValues& v = ks3::programValues();
    v.dossiersSons[1][0] = chemin("sons/jin/");
    v.convertisseurLigneCommande = true;
    v.cheminConvertisseur = QStringLiteral(KS3_BIN_DIR "/CoreConverter");
    ecrireSon(chemin("in/take 1.wav"), 5);
    requete = kRequete;
    requete.replace("%1", chemin("in/take 1.wav").toUtf8());

    // Row 0 receives; send row 0 answers the bench's socket (an address other
    // than 127.0.0.1, which never gets replies).
    reponses = new QUdpSocket;
    reponses->bind(QHostAddress(QStringLiteral("127.0.0.2")), 0);
    QUdpSocket libre;
    libre.bind(QHostAddress::LocalHost, 0);
    portRow = libre.localPort();
    libre.close();
    ks3::InstallerGestionnaireUDP();
    ks3::LierCasesActivationUDP();
    ks3::Settings& r = ks3::settings();
    r.setText(SettingId::UdpOutIP, 0, QStringLiteral("127.0.0.2"));
    r.setText(SettingId::UdpOutPort, 0, QString::number(reponses->localPort()));
    r.setText(SettingId::UdpInIP, 0, QStringLiteral("127.0.0.1"));
    r.setText(SettingId::UdpInPort, 0, QString::number(portRow));
    r.setNumber(SettingId::UdpInActif, 0, 1);
}

// Sends the request and lets the program run until the reply is in.
bool demandeEtAttend(QUdpSocket& emetteur) {
    emetteur.writeDatagram(requete, QHostAddress::LocalHost, portRow);
    QDeadlineTimer fin(120000);
    while (!reponses->hasPendingDatagrams() && !fin.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!reponses->hasPendingDatagrams())
        return false;
    return reponses->receiveDatagram().data() == "<Info:Changed><Song:JIN00123>";
}

void BM_RequeteSonInchange(benchmark::State& state) {
    QUdpSocket emetteur;
    for (auto _ : state) {
        if (!demandeEtAttend(emetteur)) {
            state.SkipWithError("no reply");
            break;
        }
        state.PauseTiming();
        // The trace lines go to the day's file as the program's timer would.
        ks3::TraceLogForce(ks3::traceLists().listeLog);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RequeteSonInchange)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    preparer();
    // The first delivery converts the sound and builds its energy file; every
    // request timed afterwards finds both unchanged.
    {
        QUdpSocket emetteur;
        if (!demandeEtAttend(emetteur) || !QFile::exists(chemin("sons/jin/JIN00123.gpx"))) {
            std::fputs("the first delivery failed\n", stderr);
            return 1;
        }
    }
    ks3::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double median = 0;
    for (const auto& [nom, t] : reporter.times)
        if (nom.size() > 7 && nom.compare(nom.size() - 7, 7, "_median") == 0)
            median = t.real;
    if (median > 0)
        std::printf("request to reply, sound unchanged, %d stations: %.1f ms (median of 9 runs)\n", kStations,
                    median);
    ks3::settings().setNumber(SettingId::UdpInActif, 0, 0);
    ks3::PervasiveFermetureFichiers(0, 1, kStations);
    delete reponses;
    delete dossier;
    benchmark::Shutdown();
    return 0;
}
