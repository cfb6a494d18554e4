// The record layer on the real record manager: files created and opened in a
// temporary data folder, records written and read back by key.
#include "store/RecordFiles.h"
#include "common/MessageBoxService.h"
#include "common/ProgramEnd.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/BtrStop.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrieveState.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"
#include "support/ManualClock.h"
#include "support/PgTestDatabase.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstring>

using namespace ks3;

namespace {

const QString kOrigin = QStringLiteral("FrmMain:LancerConvertV13");

QByteArray keyBuffer(const QString& key) {
    return key.toLatin1().leftJustified(255, ' ');
}

class RecordFiles : public ::testing::Test {
protected:
    void SetUp() override {
        resetBtrieveState();
        resetRecordBuffers();
        resetTraceLog();
        InitGeneralData();
        workingFolders().dataFolder = data.path();
        workingFolders().logTechFolder = logs.path();
        workingFolders().nbStation = 3;
    }
    void TearDown() override {
        btr::stopRecordManager(); // releases every file of the process, the test's own cursors too
        resetBtrieveState();
        resetTraceLog();
        workingFolders() = WorkingFolders();
    }
    int call(int operation, const QString& key, int file, int keyNumber = 0, int station = 1) {
        BtrRequestBlock& r = btrRequest();
        r.BtrOperation = operation;
        r.BtrCle = key;
        r.BtrNoCle = keyNumber;
        r.BtrFichier = file;
        BTRieve(0, station, kOrigin);
        return r.BtrStatut;
    }
    // The next header number, as the conversion finds it.
    QString nextHeader() {
        if (call(11, QStringLiteral("zzzzzzzzzz"), 41) == 9)
            return QStringLiteral("0000000001");
        return QString::number(enregConvertEntete().IdEntete().toLongLong() + 1)
            .rightJustified(10, QLatin1Char('0'));
    }
    // The next detail number of a header.
    QString nextDetail(const QString& header) {
        if (call(11, header + QStringLiteral("zzzzzzzzzz"), 42) == 9 ||
            btrRequest().BtrCle < header + QStringLiteral("0000000001"))
            return QStringLiteral("0000000001");
        return QString::number(enregConvertDetail().IdDetail().toLongLong() + 1)
            .rightJustified(10, QLatin1Char('0'));
    }
    QString addHeader(const QString& name) {
        const QString id = nextHeader();
        EnregConvertEntete& e = enregConvertEntete();
        e.setIdEntete(id);
        e.setNomFichierSource(name);
        e.setDateTraitement(clock.now());
        e.setDateFichierSource(QStringLiteral("20240101120000"));
        e.setTailleFichierSource(1234);
        e.setAConvertir(QStringLiteral("O"));
        e.setNomFichierCible(QStringLiteral("out.mp3"));
        e.setDossierSource(QStringLiteral("/in/"));
        e.setDossierCible(QStringLiteral("/out/"));
        EXPECT_EQ(call(2, QString(10, QLatin1Char(' ')), 41), 0);
        return id;
    }
    QString addDetail(const QString& header, const QString& text) {
        const QString id = nextDetail(header);
        EnregConvertDetail& d = enregConvertDetail();
        d.setIdEntete(header);
        d.setIdDetail(id);
        d.setDebutConversion(QStringLiteral("20240216080000"));
        d.setFinConversion(QStringLiteral("20240216080010"));
        d.setConversionOK(QStringLiteral("O"));
        d.setLibelleDetail(text);
        EXPECT_EQ(call(2, QString(20, QLatin1Char(' ')), 42), 0);
        return id;
    }
    QStringList trace() const { return traceLists().listeLogTemp.stringList(); }

    test::TempDir data;
    test::TempDir logs;
    test::ManualClock clock;
    ScriptedMessageBoxService boxes;
    int ended = 0;
    test::ServicesGuard services{[this](Services& s) {
        s.questions = &boxes;
        s.programEnd = [this](int) { ++ended; };
    }};
};

} // namespace

TEST_F(RecordFiles, StartUpCreatesOnlyTheProgramsOwnTables) {
    PervasiveOuvertureFichiers(0, 1, 3);
    for (const char* name : {"FRAD037.bt6", "FRAD041.bt6", "FRAD042.bt6"}) {
        EXPECT_TRUE(QFileInfo(data.file(QLatin1String(name))).size() > 0) << name;
        EXPECT_EQ(trace()
                      .filter(QStringLiteral("File: ") + data.file(QLatin1String(name)) +
                              QStringLiteral(" not found |Create empty structure"))
                      .size(),
                  1);
    }
    EXPECT_TRUE(FichierEstOuvert(0, 1, 41));
    EXPECT_TRUE(FichierEstOuvert(0, 1, 42));
    EXPECT_TRUE(FichierEstOuvert(0, 3, 37));
    // The suite's own tables are never created by this program.
    EXPECT_FALSE(QFileInfo::exists(data.file(QStringLiteral("FRADA20.bt6"))));
    EXPECT_FALSE(FichierEstOuvert(0, 1, 20));
    EXPECT_FALSE(FichierEstOuvert(0, 2, 26));
    EXPECT_TRUE(trace().last().endsWith(QStringLiteral("Pervasive files opened")));
    EXPECT_TRUE(boxes.seen().isEmpty());

    // A call on a table that stayed closed ends the program.
    call(5, QStringLiteral("JIN00123"), 22);
    EXPECT_EQ(btrRequest().BtrStatut, 20);
    EXPECT_EQ(ended, 1);

    PervasiveFermetureFichiers(0, 1, 3);
    EXPECT_FALSE(FichierEstOuvert(0, 1, 41));
    EXPECT_TRUE(trace().last().endsWith(QStringLiteral("Pervasive files closed")));
}

// Another workstation (or instance) creates the conversion headers between the
// look for the file and the creation: its file, and the header it wrote, stay.
TEST_F(RecordFiles, AFileCreatedMeanwhileElsewhereIsKept) {
    const QString path = data.file(QStringLiteral("FRAD041.bt6"));
    bool created = false;
    test::ServicesGuard elsewhere([&](Services& s) {
        s.recordManagerCall = [&](std::uint16_t op, void* b, void* d, std::uint32_t* l, void* k,
                                  std::uint16_t kl, std::int16_t kn) {
            if (op == btr::OpCreate && !created) {
                created = true;
                QByteArray definition(static_cast<const char*>(d), int(*l));
                std::uint32_t dl = *l;
                QByteArray name = QFile::encodeName(path);
                btr::PositionBlock theirs;
                EXPECT_EQ(BTRCALL(btr::OpCreate, &theirs, definition.data(), &dl, name.data(),
                                  std::uint16_t(name.size()), btr::CreateNoReplace),
                          0);
                EnregConvertEntete e;
                e.setIdEntete(QStringLiteral("0000000001"));
                e.setNomFichierSource(QStringLiteral("theirs.wav"));
                name.append('\0');
                dl = e.size();
                EXPECT_EQ(
                    BTRCALL(btr::OpOpen, &theirs, e.data(), &dl, name.data(), std::uint16_t(name.size()), 0),
                    0);
                QByteArray key = keyBuffer(QStringLiteral("0000000001"));
                dl = e.size();
                EXPECT_EQ(BTRCALL(btr::OpInsert, &theirs, e.data(), &dl, key.data(), 255, 0), 0);
                EXPECT_EQ(BTRCALL(btr::OpClose, &theirs, e.data(), &dl, key.data(), 255, 0), 0);
            }
            return BTRCALL(op, b, d, l, k, kl, kn);
        };
    });
    FichierPervasiveOuvrir(0, 1, 1, 41);
    ASSERT_TRUE(created);
    ASSERT_TRUE(FichierEstOuvert(0, 1, 41));
    ASSERT_EQ(call(5, QStringLiteral("0000000001"), 41), 0);
    EXPECT_EQ(enregConvertEntete().NomFichierSource().trimmed(), QStringLiteral("theirs.wav"));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

// A data folder written as a PostgreSQL URL: the program's tables are created
// and opened on the server, the suite's are not, and nothing of it lands on
// the local disk.
TEST_F(RecordFiles, RecordFilesOnAServerAreCreatedAndOpenedThere) {
    test::PgTestDatabase db;
    ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
    workingFolders().dataFolder = db.url() + QLatin1Char('/');
    PervasiveOuvertureFichiers(0, 1, 3);
    EXPECT_TRUE(FichierEstOuvert(0, 1, 41));
    EXPECT_TRUE(FichierEstOuvert(0, 1, 42));
    EXPECT_TRUE(FichierEstOuvert(0, 3, 37));
    EXPECT_FALSE(FichierEstOuvert(0, 1, 20));
    EXPECT_TRUE(boxes.seen().isEmpty());
    EXPECT_EQ(btrieveState().CheminFichierBtr(0, 1, 41), db.file(QStringLiteral("FRAD041.bt6")));
    const QString h = addHeader(QStringLiteral("a.wav"));
    PervasiveFermetureFichiers(0, 1, 3);
    EXPECT_EQ(db.query(QStringLiteral("SELECT count(*) FROM \"FRAD041.bt6\"")), "1");
    EXPECT_EQ(db.query(QStringLiteral("SELECT to_regclass('\"FRADA20.bt6\"') IS NULL")), "t");

    // The next start finds the tables there and creates nothing.
    resetBtrieveState();
    resetTraceLog();
    PervasiveOuvertureFichiers(0, 1, 3);
    EXPECT_TRUE(trace().filter(QStringLiteral("Create empty structure")).isEmpty());
    ASSERT_EQ(call(5, h, 41), 0);
    EXPECT_EQ(enregConvertEntete().NomFichierSource().trimmed(), QStringLiteral("a.wav"));
    EXPECT_FALSE(QDir::current().exists(QStringLiteral("postgresql:")));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST_F(RecordFiles, OpeningAMissingFileReportsItsPath) {
    std::uint32_t length = 300;
    const QString path = data.file(QStringLiteral("FRADA20.bt6"));
    EXPECT_FALSE(OuvertureFichierBTrieve(0, 20, path, length, 1));
    EXPECT_EQ(btrRequest().BtrStatut, 12);
    EXPECT_EQ(btrieveState().HistoriqueBtr(0)[0], QStringLiteral("S:12 File:20 (") + path +
                                                      QStringLiteral(") Station:1 OP:00 K:00 [") + path +
                                                      QStringLiteral("]"));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_TRUE(boxes.seen()[0].message.contains(
        QStringLiteral("Err:12: The MicroKernel cannot find the specified file (") + path +
        QStringLiteral(")\n")));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("Lib_Data_Pervasive:OuvertureFichierBTrieve"));
}

TEST_F(RecordFiles, ConversionHeadersAndDetailsRoundTrip) {
    FichierPervasiveOuvrir(0, 1, 1, 41);
    FichierPervasiveOuvrir(0, 1, 1, 42);
    ASSERT_TRUE(FichierEstOuvert(0, 1, 41));
    ASSERT_TRUE(FichierEstOuvert(0, 1, 42));

    const QString h1 = addHeader(QStringLiteral("Song.wav"));
    const QString h2 = addHeader(QStringLiteral("Other.wav"));
    EXPECT_EQ(h1, QStringLiteral("0000000001"));
    EXPECT_EQ(h2, QStringLiteral("0000000002"));
    // Detail numbers restart for every header.
    EXPECT_EQ(addDetail(h1, QStringLiteral("first")), QStringLiteral("0000000001"));
    EXPECT_EQ(addDetail(h2, QStringLiteral("other")), QStringLiteral("0000000001"));
    EXPECT_EQ(addDetail(h1, QStringLiteral("Fichier 'x' non trouvé après la conversion")),
              QStringLiteral("0000000002"));

    // Key 0 is exact; key 1 ignores letter case.
    resetRecordBuffers();
    ASSERT_EQ(call(5, h1, 41), 0);
    EXPECT_EQ(enregConvertEntete().NomFichierSource(), QStringLiteral("Song.wav"));
    EXPECT_EQ(enregConvertEntete().TailleFichierSource(), QStringLiteral("0000001234"));
    EXPECT_EQ(enregConvertEntete().DossierCible(), QStringLiteral("/out/"));
    EXPECT_EQ(call(9, QStringLiteral("SONG.WAV"), 41, 1), 0);
    EXPECT_EQ(enregConvertEntete().IdEntete(), h1);
    EXPECT_EQ(btrRequest().BtrCle, QStringLiteral("Song.wav") + QString(42, QLatin1Char(' ')));

    // The details of header 1, from its low key to its high key.
    QStringList seen;
    int status = call(9, h1 + QString(10, QLatin1Char(' ')), 42);
    while (status == 0 && btrRequest().BtrCle <= h1 + QStringLiteral("zzzzzzzzzz")) {
        seen << enregConvertDetail().IdDetail() + QLatin1Char(':') + enregConvertDetail().LibelleDetail();
        status = call(6, btrRequest().BtrCle, 42);
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0000000001:first"),
                                 QStringLiteral("0000000002:Fichier 'x' non trouvé après la conversion")}));

    // Update of the header after the attempt.
    ASSERT_EQ(call(5, h1, 41), 0);
    enregConvertEntete().setAConvertir(QStringLiteral("N"));
    enregConvertEntete().setConversionOK(QStringLiteral("O"));
    EXPECT_EQ(call(3, h1, 41), 0);

    // Everything is in the files: closed, reopened, read again.
    PervasiveFermetureFichiers(0, 1, 1);
    resetRecordBuffers();
    FichierPervasiveOuvrir(0, 1, 1, 41);
    ASSERT_EQ(call(5, h1, 41), 0);
    EXPECT_EQ(enregConvertEntete().AConvertir(), QStringLiteral("N"));
    EXPECT_EQ(enregConvertEntete().ConversionOK(), QStringLiteral("O"));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

// Another program updates the header between this program's read and its
// update: the update meets a real record conflict, re-reads and writes both
// changes.
TEST_F(RecordFiles, ConcurrentUpdateOfAHeaderKeepsBothChanges) {
    FichierPervasiveOuvrir(0, 1, 1, 41);
    const QString h = addHeader(QStringLiteral("a.wav"));
    ASSERT_EQ(call(5, h, 41), 0);

    // The other user: its own position block on the same file.
    btr::PositionBlock other;
    QByteArray path = QFile::encodeName(data.file(QStringLiteral("FRAD041.bt6")));
    path.append('\0');
    EnregConvertEntete theirs;
    std::uint32_t length = theirs.size();
    ASSERT_EQ(
        BTRCALL(btr::OpOpen, &other, theirs.data(), &length, path.data(), std::uint16_t(path.size()), 0), 0);
    QByteArray key = keyBuffer(h);
    length = theirs.size();
    ASSERT_EQ(BTRCALL(btr::OpGetEqual, &other, theirs.data(), &length, key.data(), 255, 0), 0);
    theirs.setNomFichierCible(QStringLiteral("renamed.mp3"));
    length = theirs.size();
    ASSERT_EQ(BTRCALL(btr::OpUpdate, &other, theirs.data(), &length, key.data(), 255, 0), 0);

    enregConvertEntete().setAConvertir(QStringLiteral("N"));
    EXPECT_EQ(call(3, h, 41), 0);
    EXPECT_EQ(clock.totalWaitedMs, 500);
    resetRecordBuffers();
    ASSERT_EQ(call(5, h, 41), 0);
    EXPECT_EQ(enregConvertEntete().AConvertir(), QStringLiteral("N"));
    EXPECT_EQ(enregConvertEntete().NomFichierCible(), QStringLiteral("renamed.mp3"));
}

// Per-station tables: one file per station, named with the station's letter;
// rewriting a recorder record keeps every byte this program does not write.
TEST_F(RecordFiles, RecorderRecordsPerStationKeepWhatTheyDoNotOwn) {
    InitStructureFichierBTR(26, true);
    for (const char* name : {"FRADA26.bt6", "FRADB26.bt6", "FRADC26.bt6"})
        ASSERT_EQ(CreationStructureVide(data.file(QLatin1String(name))), 0);
    FichierPervasiveOuvrir(0, 1, 3, 26);
    for (int s = 1; s <= 3; ++s) {
        ASSERT_TRUE(FichierEstOuvert(0, s, 26));
        EXPECT_TRUE(btrieveState().CheminFichierBtr(0, s, 26).endsWith(
            QStringLiteral("FRAD") + QChar('A' + s - 1) + QStringLiteral("26.bt6")));
    }

    // A record as another suite program wrote it, unknown bytes included.
    EnregMorceauMagneto& m = enregMorceauMagneto();
    QByteArray image(m.size(), '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(32 + (i * 7) % 90);
    m.setBytes(image);
    m.setCodeMorceau(QStringLiteral("JIN00123"));
    m.setRaw(113, QByteArray("\x01\x02\x03", 3));
    const QByteArray stored = m.bytes().left(150);
    ASSERT_EQ(call(2, QString(8, QLatin1Char(' ')), 26, 0, 2), 0);
    EXPECT_EQ(call(5, QStringLiteral("JIN00123"), 26, 0, 1), 4) << "station 1 has its own file";

    ASSERT_EQ(call(5, QStringLiteral("JIN00123"), 26, 0, 2), 0);
    m.setDureeMs(1001);
    m.setIndicateurDuree(QStringLiteral("E"));
    m.setTypeSon(QStringLiteral("S"));
    m.setFormatSon(QStringLiteral("S48"));
    ASSERT_EQ(call(3, QStringLiteral("JIN00123"), 26, 0, 2), 0);

    resetRecordBuffers();
    ASSERT_EQ(call(5, QStringLiteral("JIN00123"), 26, 0, 2), 0);
    const QByteArray back = m.bytes().left(150);
    for (int i = 0; i < 150; ++i) {
        const bool written = i == 112 || (i >= 116 && i < 124);
        if (!written) {
            EXPECT_EQ(back.at(i), stored.at(i)) << "byte " << i;
        }
    }
    EXPECT_EQ(m.DureeMs(), 1001);
    EXPECT_EQ(m.FormatSon(), QStringLiteral("S48"));
}
