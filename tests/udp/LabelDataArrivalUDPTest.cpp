// The request handler in this process, on record files of two stations made
// with ks3_records, real sound files and the real converter.
#include "udp/LabelDataArrivalUDP_Change.h"

#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordFiles.h"
#include "support/AudioProbe.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"
#include "udp/DetermineDossierSon.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

class RequeteSon : public ::testing::Test {
protected:
    void SetUp() override {
        valeurs = programValues();
        QDir().mkpath(dir.file("data"));
        QDir().mkpath(dir.file("in"));
        QProcess outil;
        outil.start(QStringLiteral(KS3_BIN_DIR "/ks3_records"),
                    {QStringLiteral("create"), dir.file("data/"), "2"});
        ASSERT_TRUE(outil.waitForFinished(60000));
        ASSERT_EQ(outil.exitCode(), 0);

        resetBtrieveState();
        resetRecordBuffers();
        resetTraceLog();
        InitGeneralData();
        workingFolders().dataFolder = dir.file("data/");
        workingFolders().logTechFolder = dir.file("data/");
        workingFolders().nbStation = 2;
        PervasiveOuvertureFichiers(0, 1, 2);

        ProgramValues& v = programValues();
        for (auto& ligne : v.dossiersSons)
            for (QString& s : ligne)
                s.clear();
        v.dossiersSons[1][0] = dir.file("sons/jin/");
        v.convertisseurLigneCommande = true;
        v.cheminConvertisseur = QStringLiteral(KS3_BIN_DIR "/CoreConverter");
        DossiersSonVerifies().clear();
        DossierSettings().clear();
    }

    void TearDown() override {
        PervasiveFermetureFichiers(0, 1, 2);
        resetBtrieveState();
        resetTraceLog();
        workingFolders() = WorkingFolders();
        programValues() = valeurs;
        DossiersSonVerifies().clear();
        DossierSettings().clear();
    }

    QString source(const QString& nom, double secondes = 1.0) {
        const QString chemin = dir.file(QStringLiteral("in/") + nom);
        EXPECT_FALSE(writeWav(chemin, tone(440, secondes)).isEmpty());
        backdateFile(chemin, 120);
        return chemin;
    }

    static void requete(const QString& song, const QString& fichier) {
        LabelDataArrivalUDP_Change(0, QStringLiteral("<Do:Convert><Song:") + song +
                                          QStringLiteral("><SoundFile:") + fichier + QLatin1Char('>'));
    }

    static int statut() { return btrRequest().BtrStatut; }

    // Every file under the test's folder but the record files.
    QStringList fichiers() const {
        QStringList r;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.startsWith(dir.file("data/")))
                r << f.mid(dir.path().size());
        }
        r.sort();
        return r;
    }

    static int nombre(int table, int station = 1) {
        int n = 0;
        QString cle;
        BTRieve(0, btr::OpGetFirst, cle, 0, table, station, QString());
        while (statut() == 0) {
            ++n;
            BTRieve(0, btr::OpGetNext, cle, 0, table, station, QString());
        }
        return n;
    }

    ProgramValues valeurs;
    TempDir dir;
    ScriptedMessageBoxService boxes;
    ServicesGuard services{[this](Services& s) { s.questions = &boxes; }};
};

TEST_F(RequeteSon, ASongCodeThatWouldNameAFileElsewhereIsRefusedBeforeAnythingIsTouched) {
    const QString take = source(QStringLiteral("take.wav"));
    const QStringList avant = fichiers();
    for (const char* code : {"../../x", "..", "a/b", "x\\y", "a:b", "JIN\t01", "J*"}) {
        const QString song = QString::fromLatin1(code);
        // A recorder record under that code: a handling would update it.
        for (int s = 1; s <= 2; ++s) {
            EnregMorceauMagneto& m = enregMorceauMagneto();
            m.setBytes(QByteArray(152, ' '));
            m.setCodeMorceau(song);
            m.setDureeMs(7);
            QString cle(8, QLatin1Char(' '));
            BTRieve(0, btr::OpInsert, cle, 0, EnregMorceauMagneto::NoFichier, s, QString());
            ASSERT_EQ(statut(), 0) << code;
        }
        resetTraceLog();
        requete(song, take);
        EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: Err: Invalid song code: ") + song)) << code;
        EXPECT_FALSE(tracedEnding(QStringLiteral("UDP: Action: Convert"))) << code;
        EXPECT_EQ(fichiers(), avant) << code;
        // Nor beside the source under a name that leaves its folder.
        EXPECT_FALSE(QFileInfo::exists(QDir::cleanPath(dir.file("in/") + song + QStringLiteral(".wav"))))
            << code;
        for (int s = 1; s <= 2; ++s) {
            QString cle = song;
            BTRieve(0, btr::OpGetEqual, cle, 0, EnregMorceauMagneto::NoFichier, s, QString());
            ASSERT_EQ(statut(), 0) << code;
            EXPECT_EQ(enregMorceauMagneto().DureeMs(), 7) << code;
            EXPECT_EQ(enregMorceauMagneto().FormatSon(), QString()) << code;
        }
    }
    // No conversion header, no sound information.
    EXPECT_EQ(nombre(41), 0);
    EXPECT_EQ(nombre(37), 0);
}

TEST_F(RequeteSon, ASongWithoutSoundFolderIsNotWrittenWhereTheProgramRuns) {
    const QString take = source(QStringLiteral("take.wav"));
    QDir().mkpath(dir.file("courant"));
    const QString avant = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.file("courant")));
    // "LIN": no folder of that category on this station.
    requete(QStringLiteral("LIN00001"), take);
    QDir::setCurrent(avant);
    EXPECT_TRUE(tracedEnding(QStringLiteral("UDP: Err: No sound folder for the song: LIN00001")));
    EXPECT_EQ(fichiers(), QStringList{QStringLiteral("in/take.wav")});
    EXPECT_EQ(nombre(41), 0);
}

TEST_F(RequeteSon, AnUnchangedSoundIsNotConvertedAgainAndANewSoundInformationStartsBlank) {
    // The sound information of JIN00001 has notes of its own.
    EnregInfoSon& i = enregInfoSon();
    i.setCodeMorceau(QStringLiteral("JIN00001"));
    i.setText(EnregInfoSon::Texte124Champ, QStringLiteral("notes of JIN00001"));
    QString cle(8, QLatin1Char(' '));
    BTRieve(0, btr::OpInsert, cle, 0, EnregInfoSon::NoFichier, 1, QString());
    ASSERT_EQ(statut(), 0);

    const QString un = source(QStringLiteral("JIN00001.wav"), 2.0);
    requete(QStringLiteral("JIN00001"), un);
    const QString cible = dir.file("sons/jin/JIN00001.s48");
    ASSERT_TRUE(QFileInfo::exists(cible));
    ASSERT_TRUE(QFileInfo::exists(dir.file("sons/jin/JIN00001.gpx")));
    EXPECT_TRUE(tracedEnding(QStringLiteral("Create Gpx Start: ") + cible));
    const QDateTime converti = QFileInfo(cible).lastModified();
    const QDateTime energie = QFileInfo(dir.file("sons/jin/JIN00001.gpx")).lastModified();
    EXPECT_EQ(nombre(42), 1);

    // The same request again: the history knows the source, the energy file
    // matches the sound; both stay as they are.
    resetTraceLog();
    requete(QStringLiteral("JIN00001"), un);
    EXPECT_TRUE(tracedEnding(QStringLiteral("JIN00001: After Update FRADx26")));
    EXPECT_FALSE(tracedEnding(QStringLiteral("Create Gpx Start: ") + cible));
    EXPECT_EQ(QFileInfo(cible).lastModified(), converti);
    EXPECT_EQ(QFileInfo(dir.file("sons/jin/JIN00001.gpx")).lastModified(), energie);
    EXPECT_EQ(nombre(42), 1);

    // A song without sound information gets a record of its own, not the
    // notes of the last one read.
    requete(QStringLiteral("JIN00002"), source(QStringLiteral("deux.wav")));
    cle = QStringLiteral("JIN00002");
    BTRieve(0, btr::OpGetEqual, cle, 0, EnregInfoSon::NoFichier, 1, QString());
    ASSERT_EQ(statut(), 0);
    EXPECT_EQ(enregInfoSon().text(EnregInfoSon::Texte124Champ), QString());
    EXPECT_EQ(enregInfoSon().text(EnregInfoSon::Champ040), QStringLiteral("N"));
    EXPECT_GT(enregInfoSon().DureeMs(), 900);
    cle = QStringLiteral("JIN00001");
    BTRieve(0, btr::OpGetEqual, cle, 0, EnregInfoSon::NoFichier, 1, QString());
    ASSERT_EQ(statut(), 0);
    EXPECT_EQ(enregInfoSon().text(EnregInfoSon::Texte124Champ), QStringLiteral("notes of JIN00001"));
    EXPECT_GT(enregInfoSon().DureeMs(), 1900);
}

TEST_F(RequeteSon, TheDeliveredSoundAskedForItselfIsKeptWhenItCannotBeConvertedAgain) {
    requete(QStringLiteral("JIN00003"), source(QStringLiteral("trois.wav")));
    const QString cible = dir.file("sons/jin/JIN00003.s48");
    ASSERT_TRUE(QFileInfo::exists(cible));
    const QByteArray livre = TempDir::read(cible);
    ASSERT_FALSE(livre.isEmpty());
    backdateFile(cible, 120);

    // The sound in the library is asked for as it stands; the converter is
    // gone meanwhile, and the conversion deletes its old target first.
    programValues().cheminConvertisseur = dir.file("absent/CoreConverter");
    resetTraceLog();
    requete(QStringLiteral("JIN00003"), cible);
    EXPECT_EQ(TempDir::read(cible), livre);
    EXPECT_FALSE(QFileInfo::exists(dir.file("sons/jin/JIN00003.mp2")));
}

TEST_F(RequeteSon, AWorkstationWithOnlyTheOlderConverterDeliversThroughIt) {
    // No CoreConverter: the older converter's program and its component,
    // from the program's folder, with its registry values in the test's own
    // settings folder.
    ProgramValues& v = programValues();
    v.dossierProgramme = dir.file("prog/");
    QDir().mkpath(v.dossierProgramme);
    v.convertisseurLigneCommande = false;
    v.cheminConvertisseur = QStringLiteral(KS3_BIN_DIR "/MusicConverter");

    const QString take = dir.file(QStringLiteral("in/take 4.wav"));
    ASSERT_FALSE(writeWav(take, tone(440, 1.5, 0.5, 22050, 1)).isEmpty());
    backdateFile(take, 120);
    requete(QStringLiteral("JIN00004"), take);

    const QString cible = dir.file("sons/jin/JIN00004.s48");
    const AudioInfo a = probeAudio(cible);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.codec, QStringLiteral("mp2"));
    EXPECT_EQ(a.sampleRate, 48000);
    EXPECT_NEAR(a.duration, 1.5, 0.05);
    EXPECT_TRUE(QFileInfo::exists(dir.file("sons/jin/JIN00004.gpx")));
    // The request keeps its source and its copy under the song's name.
    EXPECT_TRUE(QFileInfo::exists(take));
    EXPECT_TRUE(QFileInfo::exists(dir.file("in/JIN00004.wav")));
    EXPECT_FALSE(tracedEnding(QStringLiteral("automation converter not available")));
}

} // namespace
