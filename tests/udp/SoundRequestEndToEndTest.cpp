// Sound requests over real loopback UDP to the program itself
// (KS3_Tools_Convert on the offscreen platform, with the real converter), on a
// base of two stations whose record files are made and read with ks3_records.
#include "platform/Text1252.h"
#include "support/AudioProbe.h"
#include "support/ProgramTraceLog.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <cmath>
#include <signal.h>

using namespace ks3;

namespace {

using Record = QMap<QString, QString>;

struct Outil {
    int code = -1;
    QString sortie;
    QString erreurs;
};

Outil ks3Records(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(KS3_BIN_DIR "/ks3_records"), arguments);
    Outil r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.sortie = QString::fromUtf8(p.readAllStandardOutput());
    r.erreurs = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Halves to even, as the program rounds a duration.
qint64 arrondi(qint64 n, qint64 d) {
    const qint64 q = n / d;
    const qint64 r = n % d;
    if (2 * r > d || (2 * r == d && q % 2 == 1))
        return q + 1;
    return q;
}

class SoundRequest : public ::testing::Test {
protected:
    void SetUp() override {
        prog = dir.file("prog/");
        data = dir.file("data/");
        QDir().mkpath(prog);
        QDir().mkpath(data);
        QDir().mkpath(dir.file("in"));
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"}) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
            QFile(prog + exe).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
        port0 = test::portLibre();
        port1 = test::portLibre();
        while (port1 == port0)
            port1 = test::portLibre();
        // Rows 0 and 1 listen; send row 0 is aimed at the test's socket (a
        // loopback address other than 127.0.0.1, which never gets replies);
        // the other send rows keep their 127.0.0.1.
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini",
                  toCp1252(QStringLiteral("[UDP_IN]\r\nIP_0=127.0.0.1\r\nPort_0=%1\r\nActif_0=1\r\n"
                                          "IP_1=127.0.0.1\r\nPort_1=%2\r\nActif_1=1\r\n"
                                          "[UDP_OUT]\r\nIP_0=127.0.0.2\r\nPort_0=%3\r\n")
                               .arg(port0)
                               .arg(port1)
                               .arg(peer.port())));
        dir.write("prog/Config/KS3_Systeme.ini", "[Base_01]\r\nNbStation=2\r\n");
        dir.write(
            "prog/Config/BW_SYS.ini",
            toCp1252(QStringLiteral("[Repertoires]\r\nREPBTR=%1\r\n"
                                    "[Repertoire_Station_001]\r\nJIN_00=O,%2\r\nJIN_01=O,%3\r\n"
                                    "PUB_00=O,%4\r\n")
                         .arg(data, dir.file("sons/jin0/"), dir.file("sons/jin1/"), dir.file("sons/pub/"))));
        const Outil creation = ks3Records({QStringLiteral("create"), data, QStringLiteral("2")});
        ASSERT_EQ(creation.code, 0) << creation.erreurs.toStdString();
    }

    void TearDown() override {
        if (programme.state() != QProcess::NotRunning) {
            test::signalProcess(programme.processId(), SIGTERM);
            programme.waitForFinished(30000);
        }
    }

    void put(int table, int station, const QStringList& champs) {
        const Outil r = ks3Records(
            QStringList{QStringLiteral("put"), data, QString::number(table), QString::number(station)} +
            champs);
        ASSERT_EQ(r.code, 0) << champs.join(' ').toStdString() << r.erreurs.toStdString();
    }

    QList<Record> dump(int table, int station) {
        const Outil r =
            ks3Records({QStringLiteral("dump"), data, QString::number(table), QString::number(station)});
        EXPECT_EQ(r.code, 0) << r.erreurs.toStdString();
        QList<Record> records;
        for (const QString& ligne : r.sortie.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            Record rec;
            for (const QString& champ : ligne.split(QLatin1Char('|'))) {
                const qsizetype egal = champ.indexOf(QLatin1Char('='));
                rec.insert(champ.left(egal), champ.mid(egal + 1));
            }
            records.append(rec);
        }
        return records;
    }

    // The records of a song (field CodeMorceauChamp, trimmed).
    QList<Record> duMorceau(int table, int station, const QString& song) {
        QList<Record> r;
        for (const Record& rec : dump(table, station))
            if (rec.value(QStringLiteral("CodeMorceauChamp")).trimmed() == song)
                r.append(rec);
        return r;
    }

    Record seul(int table, int station, const QString& champ, const QString& valeur) {
        for (const Record& rec : dump(table, station))
            if (rec.value(champ).trimmed() == valeur)
                return rec;
        ADD_FAILURE() << "no record " << champ.toStdString() << "=" << valeur.toStdString() << " in table "
                      << table << " station " << station;
        return {};
    }

    // A category or theme record of table 21 with its total of seconds.
    QStringList voixGroupe(const QString& type, const QString& code, int total) {
        return {QStringLiteral("TypeChamp=") + type, QStringLiteral("CodeChamp=") + code,
                QStringLiteral("DonneesChamp=") + QString(640, QLatin1Char(' ')) +
                    QStringLiteral("%1").arg(total, 8, 10, QLatin1Char('0'))};
    }

    static QString total21(const Record& r) { return r.value(QStringLiteral("DonneesChamp")).mid(640, 8); }

    QString source(const QString& nom, double secondes) {
        const QString chemin = dir.file(QStringLiteral("in/") + nom);
        EXPECT_FALSE(test::writeWav(chemin, test::tone(440, secondes)).isEmpty());
        // A file modified in the last seconds counts as still being written.
        test::backdateFile(chemin, 120);
        return chemin;
    }

    void demarre() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        programme.setProcessEnvironment(env);
        programme.setProcessChannelMode(QProcess::MergedChannels);
        programme.start(prog + "KS3_Tools_Convert", {});
        ASSERT_TRUE(programme.waitForStarted());
        // Bound once the system lists the port (probing it by binding a socket
        // of the test could take it from the program at the wrong moment).
        for (quint16 port : {port0, port1})
            ASSERT_TRUE(test::attendre([&] { return test::ecoute(port); }, 60000))
                << "row of port " << port << " not bound";
    }

    void envoie(const QString& requete, quint16 port) {
        peer.envoie(toCp1252(requete), QStringLiteral("127.0.0.1"), port);
    }

    // The replies received within ms milliseconds after the first one, as text.
    QString reponse(int ms = 120000) {
        const QNetworkDatagram d = peer.recoit(ms);
        return d.isValid() ? fromCp1252(d.data()) : QString();
    }

    QString arrete() {
        test::signalProcess(programme.processId(), SIGTERM);
        EXPECT_TRUE(programme.waitForFinished(60000));
        return test::programTraceLog(prog);
    }

    // The files under the test's folder, the program's own excepted.
    QStringList fichiers() const {
        QStringList r;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.startsWith(prog) && !f.startsWith(data))
                r << f;
        }
        r.sort();
        return r;
    }

    test::TempDir dir;
    test::UdpPeer peer{QStringLiteral("127.0.0.2")};
    QString prog;
    QString data;
    quint16 port0 = 0;
    quint16 port1 = 0;
    QProcess programme;
};

TEST_F(SoundRequest, ASoundIsDeliveredRecordedOnEveryStationAndAnnounced) {
    for (int s = 1; s <= 2; ++s) {
        // Two pointer records of the song, one of its neighbour that stays.
        put(31, s, {QStringLiteral("CodeMorceauChamp=JIN00123"), QStringLiteral("Champ008=A")});
        put(31, s, {QStringLiteral("CodeMorceauChamp=JIN00123"), QStringLiteral("Champ008=B")});
        put(31, s, {QStringLiteral("CodeMorceauChamp=JIN00124"), QStringLiteral("Champ008=A")});
        // The recorder's record: slot 1, kept bytes around the written fields.
        put(26, s,
            {QStringLiteral("CodeMorceauChamp=JIN00123"), QStringLiteral("NoDriveChamp=1"),
             QStringLiteral("Champ110=x"), QStringLiteral("Champ124=kept")});
        // The song: 100 seconds so far, one artist, a category and two themes.
        put(22, s,
            {QStringLiteral("CodeMorceauChamp=JIN00123"), QStringLiteral("CodesArtistesChamp[0]=ART01"),
             QStringLiteral("CodeCategorieChamp=CAT01"), QStringLiteral("CodesThemesChamp[0]=THM01"),
             QStringLiteral("CodesThemesChamp[1]=THM02"), QStringLiteral("DureeSecondesHautChamp=00"),
             QStringLiteral("DureeSecondesBasChamp=0100"), QStringLiteral("Champ228=title kept")});
        put(20, s, {QStringLiteral("CodeArtisteChamp=ART01"), QStringLiteral("TotalSecondesChamp=00001000")});
        put(20, s, {QStringLiteral("CodeArtisteChamp=ART02"), QStringLiteral("TotalSecondesChamp=00000777")});
        put(21, s, voixGroupe(QStringLiteral("CATEG"), QStringLiteral("CAT01"), 500));
        put(21, s, voixGroupe(QStringLiteral("THEME"), QStringLiteral("THM01"), 300));
        // Fewer seconds than the old length: the total stops at 0.
        put(21, s, voixGroupe(QStringLiteral("THEME"), QStringLiteral("THM02"), 50));
        put(29, s,
            {QStringLiteral("TypeCleChamp=GENRE"), QStringLiteral("ValeurCleChamp=ROCK"),
             QStringLiteral("CodeMorceauChamp=JIN00123")});
        put(29, s,
            {QStringLiteral("TypeCleChamp=DUREE"), QStringLiteral("ValeurCleChamp=00100"),
             QStringLiteral("CodeMorceauChamp=JIN00123")});
    }
    // An advertisement: known on station 1, but its library records are not touched.
    put(22, 1,
        {QStringLiteral("CodeMorceauChamp=PUB00001"), QStringLiteral("DureeSecondesBasChamp=0030"),
         QStringLiteral("DureeSecondesHautChamp=00"), QStringLiteral("CodesArtistesChamp[0]=ART02")});
    put(26, 1, {QStringLiteral("CodeMorceauChamp=PUB00001"), QStringLiteral("NoDriveChamp=0")});
    put(31, 1, {QStringLiteral("CodeMorceauChamp=PUB00001")});
    for (const char* song : {"JIN00300", "JIN00400", "JIN00500"})
        put(22, 1, {QStringLiteral("CodeMorceauChamp=") + QLatin1String(song)});
    const QList<Record> avant22 = dump(22, 1);
    const QList<Record> avant37 = dump(37, 1);

    const QString take = source(QStringLiteral("take 1.wav"), 3.0);
    const QString pub = source(QStringLiteral("spot.wav"), 1.0);
    const QString longue = source(QStringLiteral("long.wav"), 90.0);
    const QString courte = source(QStringLiteral("short.wav"), 1.0);
    // A source already in the suite's format, under its own name.
    const QString s48 = dir.file(QStringLiteral("in/other.s48"));
    {
        const QString wav = source(QStringLiteral("tmp.wav"), 2.0);
        QProcess c;
        c.start(QStringLiteral(KS3_BIN_DIR "/CoreConverter"),
                {"-infile=" + wav, "-outfile=" + s48, QStringLiteral("-convert_to=mp2"),
                 QStringLiteral("-s=48000"), QStringLiteral("-b=256"), QStringLiteral("-c=2")});
        ASSERT_TRUE(c.waitForFinished(60000));
        ASSERT_TRUE(QFile::remove(wav));
        ASSERT_TRUE(test::backdateFile(s48, 120));
    }

    demarre();

    // The song's sound, from a file named otherwise.
    envoie(QStringLiteral("<Do:Convert><Song:JIN00123><SoundFile:") + take + QStringLiteral(">"), port0);
    EXPECT_EQ(reponse(), QStringLiteral("<Info:Changed><Song:JIN00123>"));

    const QString copie = dir.file(QStringLiteral("in/JIN00123.wav"));
    EXPECT_TRUE(QFileInfo::exists(copie));
    EXPECT_TRUE(QFileInfo::exists(take));
    const QString cible = dir.file(QStringLiteral("sons/jin1/JIN00123.s48"));
    const test::AudioInfo a = test::probeAudio(cible);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.codec, QStringLiteral("mp2"));
    EXPECT_EQ(a.sampleRate, 48000);
    EXPECT_EQ(a.bitRate, 256000);
    EXPECT_EQ(a.channels, 2);
    // Within one frame of 1152 samples.
    EXPECT_NEAR(a.duration, 3.0, 1152.0 / 48000.0);
    const qint64 T = QFileInfo(cible).size();
    const qint64 D = arrondi(T, 32);
    const qint64 S = arrondi(D, 1000);
    ASSERT_EQ(S, 3);
    const QByteArray gpx = test::TempDir::read(dir.file(QStringLiteral("sons/jin1/JIN00123.gpx")));
    ASSERT_GE(gpx.size(), 4096);
    EXPECT_EQ(gpx.left(10), QStringLiteral("%1").arg(D, 10, 10, QLatin1Char('0')).toLatin1());
    EXPECT_EQ(gpx.mid(10, 10),
              QStringLiteral("%1").arg(arrondi(T, 768), 10, 10, QLatin1Char('0')).toLatin1());

    // An advertisement: pointers and recorder only.
    envoie(QStringLiteral("<Do:Convert><Song:PUB00001><SoundFile:") + pub + QStringLiteral(">"), port0);
    EXPECT_EQ(reponse(), QStringLiteral("<Info:Changed><Song:PUB00001>"));
    EXPECT_TRUE(test::probeAudio(dir.file(QStringLiteral("sons/pub/PUB00001.s48"))).ok);

    // Refused requests: nothing converted, nothing answered.
    envoie(QStringLiteral("<Do:Convert><Song:JIN00200><SoundFile:") +
               dir.file(QStringLiteral("in/none.wav")) + QStringLiteral(">"),
           port0);
    envoie(QStringLiteral("<Do:Play><Song:JIN00123><SoundFile:") + take + QStringLiteral(">"), port0);
    const QStringList avantRefus = fichiers();
    envoie(QStringLiteral("<Do:Convert><Song:../../x><SoundFile:") + take + QStringLiteral(">"), port0);

    // Two rows at once: the request of row 0 arrives while row 1's is
    // converted, waits for it, and the same text again on row 0 meanwhile is
    // dropped.
    envoie(QStringLiteral("<Do:Convert><Song:JIN00300><SoundFile:") + longue + QStringLiteral(">"), port1);
    ASSERT_TRUE(test::attendre([&] { return QFileInfo::exists(dir.file(QStringLiteral("in/JIN00300.wav"))); },
                               60000));
    const QString requete400 =
        QStringLiteral("<Do:Convert><Song:JIN00400><SoundFile:") + courte + QStringLiteral(">");
    envoie(requete400, port0);
    envoie(requete400, port0);
    QStringList reponses = {reponse(), reponse()};
    reponses.sort();
    EXPECT_EQ(reponses, (QStringList{QStringLiteral("<Info:Changed><Song:JIN00300>"),
                                     QStringLiteral("<Info:Changed><Song:JIN00400>")}));
    EXPECT_TRUE(test::probeAudio(dir.file(QStringLiteral("sons/jin0/JIN00300.s48"))).ok);
    EXPECT_TRUE(test::probeAudio(dir.file(QStringLiteral("sons/jin0/JIN00400.s48"))).ok);
    EXPECT_EQ(fichiers().filter(QStringLiteral("/x.")), QStringList());

    // A ".s48" source, converted from a temporary ".mp2" copy.
    envoie(QStringLiteral("<Do:Convert><Song:JIN00500><SoundFile:") + s48 + QStringLiteral(">"), port1);
    EXPECT_EQ(reponse(), QStringLiteral("<Info:Changed><Song:JIN00500>"));
    const test::AudioInfo b = test::probeAudio(dir.file(QStringLiteral("sons/jin0/JIN00500.s48")));
    EXPECT_TRUE(b.ok && b.codec == QStringLiteral("mp2")) << b.error.toStdString();
    EXPECT_NEAR(b.duration, 2.0, 2 * 1152.0 / 48000.0);
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("in/JIN00500.s48"))));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("in/JIN00500.mp2"))));

    // Nothing more was answered.
    EXPECT_EQ(reponse(1000), QString());
    const QString log = arrete();

    // The trace of the first request.
    for (const QString& ligne :
         {QStringLiteral("UDP: Receipt: <Do:Convert><Song:JIN00123><SoundFile:") + take + QStringLiteral(">"),
          QStringLiteral("UDP: Action: Convert"),
          QStringLiteral("JIN00123: Delete Ptx: Before Update FRADx31"),
          QStringLiteral("JIN00123: Delete Ptx: After Update FRADx31"),
          QStringLiteral("JIN00123: Before Update FRADx26"), QStringLiteral("JIN00123: After Update FRADx26"),
          QStringLiteral("Create Gpx Start: ") + cible, QStringLiteral("Create Gpx End"),
          QStringLiteral("UDP: Err: File not found: ") + dir.file(QStringLiteral("in/none.wav")),
          QStringLiteral("UDP: Unknow action: Play"), QStringLiteral("UDP: Err: Invalid song code: ../../x"),
          QStringLiteral("UDP: Receipt: ") + requete400 + QStringLiteral(" But InProcess: Aborted")})
        EXPECT_TRUE(log.contains(ligne)) << ligne.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("UDP: Receipt: ") + requete400), 2) << log.toStdString();
    // The refused song code touched no file.
    EXPECT_FALSE(log.contains(QStringLiteral("../../x: Delete Ptx")));
    QStringList apresRefus = fichiers().filter(QStringLiteral("/x."));
    EXPECT_EQ(apresRefus, QStringList());
    EXPECT_FALSE(QFileInfo::exists(QDir::cleanPath(dir.file(QStringLiteral("in/../../x.wav")))));
    for (const QString& f : avantRefus)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();

    for (int s = 1; s <= 2; ++s) {
        SCOPED_TRACE(s);
        const QList<Record> pointeurs = dump(31, s);
        ASSERT_EQ(pointeurs.size(), 1);
        EXPECT_EQ(pointeurs[0].value(QStringLiteral("CodeMorceauChamp")), QStringLiteral("JIN00124"));

        const Record m = seul(26, s, QStringLiteral("CodeMorceauChamp"), QStringLiteral("JIN00123"));
        EXPECT_EQ(m.value(QStringLiteral("DureeMsChamp")), QString::number(D));
        EXPECT_EQ(m.value(QStringLiteral("IndicateurDureeChamp")), QStringLiteral("E"));
        EXPECT_EQ(m.value(QStringLiteral("TypeSonChamp")), QStringLiteral("S"));
        EXPECT_EQ(m.value(QStringLiteral("FormatSonChamp")), QStringLiteral("S48"));
        EXPECT_EQ(m.value(QStringLiteral("Champ110")), QStringLiteral("x"));
        EXPECT_EQ(m.value(QStringLiteral("Champ124")).trimmed(), QStringLiteral("kept"));

        const Record g = seul(22, s, QStringLiteral("CodeMorceauChamp"), QStringLiteral("JIN00123"));
        EXPECT_EQ(g.value(QStringLiteral("DureeSecondesHautChamp")), QStringLiteral("00"));
        EXPECT_EQ(g.value(QStringLiteral("DureeSecondesBasChamp")), QStringLiteral("0003"));
        EXPECT_EQ(g.value(QStringLiteral("IndicateurDureeChamp")), QStringLiteral("E"));
        EXPECT_EQ(g.value(QStringLiteral("NoDriveChamp")), QStringLiteral("1"));
        EXPECT_EQ(g.value(QStringLiteral("TailleSonChamp")),
                  QStringLiteral("%1").arg(T, 10, 10, QLatin1Char('0')));
        EXPECT_EQ(g.value(QStringLiteral("FormatSonChamp")), QStringLiteral("S48"));
        EXPECT_EQ(g.value(QStringLiteral("DateSonChamp")),
                  QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
        EXPECT_EQ(g.value(QStringLiteral("HeureSonChamp")).size(), 6);
        EXPECT_EQ(g.value(QStringLiteral("Champ228")).trimmed(), QStringLiteral("title kept"));

        // Totals moved by the new seconds minus the old (3 - 100).
        EXPECT_EQ(seul(20, s, QStringLiteral("CodeArtisteChamp"), QStringLiteral("ART01"))
                      .value(QStringLiteral("TotalSecondesChamp")),
                  QStringLiteral("00000903"));
        EXPECT_EQ(seul(20, s, QStringLiteral("CodeArtisteChamp"), QStringLiteral("ART02"))
                      .value(QStringLiteral("TotalSecondesChamp")),
                  QStringLiteral("00000777"));
        QMap<QString, QString> totaux;
        for (const Record& r : dump(21, s))
            totaux.insert(r.value(QStringLiteral("CodeChamp")).trimmed(), total21(r));
        EXPECT_EQ(totaux.value(QStringLiteral("CAT01")), QStringLiteral("00000403"));
        EXPECT_EQ(totaux.value(QStringLiteral("THM01")), QStringLiteral("00000203"));
        EXPECT_EQ(totaux.value(QStringLiteral("THM02")), QStringLiteral("00000000"));

        for (const Record& c : duMorceau(29, s, QStringLiteral("JIN00123"))) {
            if (c.value(QStringLiteral("TypeCleChamp")) == QStringLiteral("DUREE"))
                EXPECT_EQ(c.value(QStringLiteral("ValeurCleChamp")), QStringLiteral("00003"));
            else
                EXPECT_EQ(c.value(QStringLiteral("ValeurCleChamp")).trimmed(), QStringLiteral("ROCK"));
        }
    }
    // The advertisement's recorder record, its song record as it was.
    const Record pubMagneto = seul(26, 1, QStringLiteral("CodeMorceauChamp"), QStringLiteral("PUB00001"));
    EXPECT_EQ(pubMagneto.value(QStringLiteral("FormatSonChamp")), QStringLiteral("S48"));
    for (const Record& r : avant22) {
        if (r.value(QStringLiteral("CodeMorceauChamp")) == QStringLiteral("PUB00001")) {
            EXPECT_EQ(seul(22, 1, QStringLiteral("CodeMorceauChamp"), QStringLiteral("PUB00001")), r);
        }
    }

    // Sound information, once, on station 1.
    EXPECT_TRUE(avant37.isEmpty());
    const Record info = seul(37, 1, QStringLiteral("CodeMorceauChamp"), QStringLiteral("JIN00123"));
    EXPECT_EQ(info.value(QStringLiteral("TailleSonChamp")), QString::number(T));
    EXPECT_EQ(info.value(QStringLiteral("DureeMsChamp")), QString::number(D));
    EXPECT_EQ(info.value(QStringLiteral("Champ040")), QStringLiteral("N"));
    EXPECT_EQ(info.value(QStringLiteral("DateCreationChamp")).size(), 12);
    EXPECT_TRUE(duMorceau(37, 1, QStringLiteral("PUB00001")).isEmpty());
}

} // namespace
