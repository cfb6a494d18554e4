// Change detection with a folder's headers read at once: the decisions of the
// search of the history, one record-manager read per folder instead of one per
// file, and never an answer from a copy that a write has made out of date.
#include "engine/EntetesDossier.h"
#include "engine/CompareFichierEtDonnees.h"
#include "engine/ConversionHistory.h"
#include "engine/RunState.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/RecordBuffers.h"
#include "support/HistoryFixture.h"
#include "support/ManualClock.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

struct Decision {
    bool required = false;
    QString id;
    QStringList lines;
};

class FolderHeaders : public test::HistoryFixture {
protected:
    test::ManualClock clock{QDateTime::currentDateTime()};
    test::TempDir dir;
    const QDateTime old{QDate(2024, 1, 5), QTime(10, 20, 30)};
    // Record-manager calls on the headers, by operation.
    QMap<int, int> calls;
    test::ServicesGuard counting{[this](Services& s) {
        s.recordManagerCall = [this](std::uint16_t op, void* b, void* d, std::uint32_t* l, void* k,
                                     std::uint16_t kl, std::int16_t kn) {
            if (b == &btrieveState().BlocPosition(0, 1, EnregConvertEntete::NoFichier))
                ++calls[op];
            return BTRCALL(op, b, d, l, k, kl, kn);
        };
    }};

    void SetUp() override {
        HistoryFixture::SetUp();
        runState().reset();
    }
    void TearDown() override {
        HistoryFixture::TearDown();
        runState().reset();
        EXPECT_TRUE(boxes.seen().isEmpty()) << "no record call may fail";
    }

    QString sound(const QString& relative, const QByteArray& bytes = "RIFF....WAVE") {
        const QString path = dir.write(relative, bytes);
        dateAt(path, old);
        return path;
    }
    static void dateAt(const QString& path, const QDateTime& t) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
    }
    QString target(const QString& source) {
        return dir.file(QStringLiteral("Out/") + QFileInfo(source).completeBaseName() +
                        QStringLiteral(".mp3"));
    }

    Decision decide(const QString& source, EntetesDossier* headers) {
        clearList(runState().listeFichiersCible);
        Decision d;
        QDateTime date;
        qint64 size = 0;
        CompareFichierEtDonnees(source, target(source), d.required, d.id, date, size, headers);
        d.lines = runState().listeFichiersCible.stringList();
        if (d.required) // converted at once, as a run would
            EnregistrerTentative(d.id, date, clock.now(), clock.now(), size, QStringLiteral("O"), QString(),
                                 QStringLiteral("N"));
        return d;
    }
};

} // namespace

TEST_F(FolderHeaders, UnchangedFolderCostsOneReadOfTheHistory) {
    QStringList files;
    for (int i = 0; i < 30; ++i)
        files << sound(QStringLiteral("In/Track %1.wav").arg(i, 2, 10, QLatin1Char('0')));
    for (const QString& f : files)
        ASSERT_TRUE(decide(f, nullptr).required);

    EntetesDossier headers;
    headers.preparer(files);
    calls.clear();
    for (int i = 0; i < files.size(); ++i) {
        const Decision d = decide(files[i], &headers);
        EXPECT_FALSE(d.required) << files[i].toStdString();
        EXPECT_EQ(d.id, QString::number(i + 1).rightJustified(10, QLatin1Char('0')));
        EXPECT_TRUE(d.lines.isEmpty());
    }
    EXPECT_EQ(calls, (QMap<int, int>{{btr::OpGetKeyRange, 1}}));
}

// Every kind of file of one folder, decided in a row with the folder's headers
// read at once: the same answers as the search of the history per file.
TEST_F(FolderHeaders, DecisionsAreThoseOfTheSearchPerFile) {
    const QStringList names{"a.wav",      "B.wav",     "touched.wav", "resized.wav", "failed.wav",
                            "Café 1.wav", "song.wav2", "zz.wav",      "Other.wav"};
    QStringList files;
    for (const QString& n : names)
        files << sound(QStringLiteral("In/") + n);
    for (const QString& f : files)
        decide(f, nullptr);
    // The same name in another folder: a header in the range of the folder's
    // names that is not one of its files'.
    decide(sound(QStringLiteral("Elsewhere/a.wav")), nullptr);
    // What changed since the last run.
    dateAt(files[2], old.addSecs(3600));
    {
        QFile f(files[3]);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("more");
    }
    dateAt(files[3], old);
    QString key = QStringLiteral("0000000005");
    BTRieve(0, btr::OpGetEqual, key, 0, EnregConvertEntete::NoFichier, 1, QString());
    ASSERT_EQ(btrRequest().BtrStatut, 0);
    enregConvertEntete().setAConvertir(QStringLiteral("O"));
    BTRieve(0, btr::OpUpdate, key, 0, EnregConvertEntete::NoFichier, 1, QString());
    ASSERT_EQ(btrRequest().BtrStatut, 0);
    // The letter case of a name changed by a rename; a file of a name never seen.
    QFile::rename(files[1], dir.file("In/b.WAV"));
    files[1] = dir.file("In/b.WAV");
    files << sound(QStringLiteral("In/new.wav"));
    // song.wav is new but takes the header of song.wav2 (same folders and
    // target name), which it rewrites as its own: song.wav2 then has none,
    // although the headers read before still show it as song.wav2's.
    files.insert(6, sound(QStringLiteral("In/song.wav"), "RIFF....WAVEx"));

    struct Expected {
        bool required;
        QString id;
        QStringList lines;
    };
    const QList<Expected> expected{
        {false, "0000000001", {}},
        {false, "0000000002", {}},
        {true,
         "0000000003",
         {"touched.wav:", "Date différente (Anc. <> Act.): 05/01/2024 10:20:30 <> 05/01/2024 11:20:30"}},
        {true, "0000000004", {"resized.wav:", "Taille différente (Anc. <> Act.): 12 <> 16"}},
        {true, "0000000005", {"failed.wav:", "A Convertir"}},
        {false, "0000000006", {}},
        {true, "0000000007", {"song.wav:", "Taille différente (Anc. <> Act.): 12 <> 13"}},
        {true, "0000000011", {"Fichier non encore traité: " + dir.file("In/song.wav2")}},
        {false, "0000000008", {}},
        {false, "0000000009", {}},
        {true, "0000000012", {"Fichier non encore traité: " + dir.file("In/new.wav")}},
    };
    EntetesDossier headers;
    headers.preparer(files);
    ASSERT_EQ(files.size(), expected.size());
    for (int i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const Decision d = decide(files[i], &headers);
        EXPECT_EQ(d.required, expected[i].required);
        EXPECT_EQ(d.id, expected[i].id);
        EXPECT_EQ(d.lines, expected[i].lines);
    }
}

// A header changed by another program after the folder's headers were read
// is seen once the copy is a second old.
TEST_F(FolderHeaders, ChangesOfAnotherProgramAreSeenAfterASecond) {
    const QStringList files{sound("In/a.wav"), sound("In/b.wav")};
    for (const QString& f : files)
        decide(f, nullptr);
    EntetesDossier headers;
    headers.preparer(files);
    EXPECT_FALSE(decide(files[0], &headers).required);

    // Another program marks b.wav's header to be converted again, through its
    // own position block (this process's write count does not see it).
    btr::PositionBlock other{};
    QByteArray record(900, ' ');
    QByteArray k = QFile::encodeName(data.file("FRAD041.bt6")).leftJustified(255, ' ');
    std::uint32_t length = 900;
    ASSERT_EQ(BTRCALL(btr::OpOpen, &other, record.data(), &length, k.data(), 255, 0), 0);
    k = QByteArray("0000000002").leftJustified(255, ' ');
    ASSERT_EQ(BTRCALL(btr::OpGetEqual, &other, record.data(), &length, k.data(), 255, 0), 0);
    record[EnregConvertEntete::AConvertirChamp.offset] = 'O';
    ASSERT_EQ(BTRCALL(btr::OpUpdate, &other, record.data(), &length, k.data(), 255, 0), 0);
    ASSERT_EQ(BTRCALL(btr::OpClose, &other, record.data(), &length, k.data(), 255, 0), 0);

    QThread::msleep(1100);
    const Decision d = decide(files[1], &headers);
    EXPECT_TRUE(d.required);
    EXPECT_EQ(d.lines, (QStringList{"b.wav:", "A Convertir"}));
}

// The search keys of a name: from the name as key 1 holds it (cut to the
// field, blanks kept) to the same name padded with "z", in capitals as Unicode
// writes them ("ß" gives "SS", "ÿ" gives "Ÿ"), whatever the letters.
TEST(FolderHeaderKeys, FromTheStoredNameToItsCapitalsPaddedWithZ) {
    const int width = EnregConvertEntete::NomFichierSourceChamp.width;
    const QString cases[] = {
        QStringLiteral("Track a-1.wav"),      QStringLiteral("straße ÿ é.wav"),
        QStringLiteral("5 € œ.wav"),          QStringLiteral("ends with blanks  "),
        QString(width + 5, QLatin1Char('q')), QString(),
    };
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        QString bas, haut;
        EntetesDossier::clesRecherche(name, bas, haut);
        EnregConvertEntete e;
        e.setNomFichierSource(name);
        const QString held = e.rawText(EnregConvertEntete::NomFichierSourceChamp);
        EXPECT_EQ(bas, held);
        QString top = held;
        while (top.endsWith(QLatin1Char(' ')))
            top.chop(1);
        EXPECT_EQ(haut, top.leftJustified(width, QLatin1Char('z')).toUpper());
    }
    QString bas, haut;
    EntetesDossier::clesRecherche(QStringLiteral("straße.wav"), bas, haut);
    EXPECT_TRUE(haut.startsWith(QStringLiteral("STRASSE.WAVZZ")));
    EntetesDossier::clesRecherche(QStringLiteral("ab"), bas, haut);
    EXPECT_EQ(haut, QStringLiteral("AB") + QString(width - 2, QLatin1Char('Z')));
}
