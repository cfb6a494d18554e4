// Change detection on the real record manager: conversion headers created,
// found and refreshed in a record file of a temporary data folder.
#include "engine/CompareFichierEtDonnees.h"
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/ConversionHistory.h"
#include "engine/RunState.h"
#include "store/BTRieve.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"
#include "support/HistoryFixture.h"
#include "support/ManualClock.h"
#include "support/PgTestDatabase.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <optional>

using namespace ks3;

namespace {

struct Header {
    QString id, source, dateTraitement, dateSource, taille, aConvertir, cible, dossierSource, dossierCible,
        ok;
    bool operator==(const Header&) const = default;
    friend void PrintTo(const Header& h, std::ostream* os) {
        *os << QStringList{h.id,         h.source, h.dateTraitement, h.dateSource,   h.taille,
                           h.aConvertir, h.cible,  h.dossierSource,  h.dossierCible, h.ok}
                   .join(QLatin1Char('|'))
                   .toStdString();
    }
};

struct Decision {
    bool required = false;
    QString id;
    QDateTime date;
    qint64 size = 0;
    QStringList lines;
};

void rewrite(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void setModified(const QString& path, const QDateTime& t) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
}

class ChangeDetection : public test::HistoryFixture {
protected:
    // The clock reads the computer's time, so that a file written by the test
    // is as recent for the program as it really is.
    test::ManualClock clock{QDateTime::currentDateTime()};
    test::TempDir dir;
    const QDateTime old{QDate(2024, 1, 5), QTime(10, 20, 30)};

    void SetUp() override {
        HistoryFixture::SetUp();
        runState().reset();
    }
    void TearDown() override {
        HistoryFixture::TearDown();
        runState().reset();
        EXPECT_TRUE(boxes.seen().isEmpty()) << "no record call may fail";
    }

    // A finished source file: written, then dated well in the past.
    QString sound(const QString& relative, const QByteArray& bytes = "RIFF....WAVE") {
        const QString path = dir.write(relative, bytes);
        setModified(path, old);
        return path;
    }

    Decision decide(const QString& source, const QString& target) {
        clearList(runState().listeFichiersCible);
        Decision d;
        CompareFichierEtDonnees(source, target, d.required, d.id, d.date, d.size);
        d.lines = runState().listeFichiersCible.stringList();
        return d;
    }

    // What a successful conversion leaves in the history.
    void converted(const Decision& d) {
        EnregistrerTentative(d.id, d.date, clock.now(), clock.now(), d.size, QStringLiteral("O"), QString(),
                             QStringLiteral("N"));
    }

    // Every header, in the order of their numbers.
    QList<Header> headers() {
        QList<Header> all;
        QString key;
        int op = 12; // Get First
        for (;;) {
            BTRieve(0, op, key, 0, EnregConvertEntete::NoFichier, 1, QString());
            if (btrRequest().BtrStatut != 0)
                break;
            const EnregConvertEntete& e = enregConvertEntete();
            all.append({e.IdEntete(), e.NomFichierSource().trimmed(), e.DateTraitement(),
                        e.DateFichierSource(), e.TailleFichierSource(), e.AConvertir(),
                        e.NomFichierCible().trimmed(), e.DossierSource().trimmed(),
                        e.DossierCible().trimmed(), e.ConversionOK()});
            op = 6; // Get Next
        }
        return all;
    }
};

} // namespace

TEST_F(ChangeDetection, NewFilesGetNumberedHeadersMarkedToConvert) {
    const QString a = sound("In/a.wav", QByteArray(1234, 'a'));
    const QString b = sound("In/b.wav");

    const QString processed = clock.now().toString("yyyyMMddHHmmss");
    const Decision first = decide(a, dir.file("Out/a.mp3"));
    EXPECT_TRUE(first.required);
    EXPECT_EQ(first.id, QStringLiteral("0000000001"));
    EXPECT_EQ(first.date, old);
    EXPECT_EQ(first.size, 1234);
    EXPECT_EQ(first.lines, QStringList{QStringLiteral("Fichier non encore traité: ") + a});

    converted(first);
    clock.advance(60000);
    const Decision second = decide(b, dir.file("Out/b.mp3"));
    EXPECT_TRUE(second.required);
    EXPECT_EQ(second.id, QStringLiteral("0000000002"));

    const QList<Header> h = headers();
    ASSERT_EQ(h.size(), 2);
    EXPECT_EQ(h[0], (Header{"0000000001", "a.wav", processed, "20240105102030", "0000001234", "N", "a.mp3",
                            dir.file("In/"), dir.file("Out/"), "O"}));
    EXPECT_EQ(h[1].id, QStringLiteral("0000000002"));
    EXPECT_EQ(h[1].ok, QString()) << "a new header carries no result, not even the last header's";
    EXPECT_EQ(h[1].dateTraitement, clock.now().toString("yyyyMMddHHmmss"));
    EXPECT_EQ(h[1].source, QStringLiteral("b.wav"));
}

TEST_F(ChangeDetection, ConvertedFileUnchangedSinceWritesNothing) {
    const QString a = sound("In/a.wav");
    converted(decide(a, dir.file("Out/a.mp3")));
    const QList<Header> before = headers();
    ASSERT_EQ(before.size(), 1);
    ASSERT_EQ(before[0].aConvertir, QStringLiteral("N"));

    clock.advance(3600 * 1000); // a rewrite would carry the new processing time
    const Decision again = decide(a, dir.file("Out/a.mp3"));
    EXPECT_FALSE(again.required);
    EXPECT_EQ(again.id, QStringLiteral("0000000001"));
    EXPECT_TRUE(again.lines.isEmpty()) << again.lines.join('\n').toStdString();
    EXPECT_EQ(headers(), before);
}

// Each change is found, explained, and brings the header up to date.
TEST_F(ChangeDetection, ChangedOrFailedFilesAreConvertedAgain) {
    struct Case {
        const char* name;
        std::function<void(const QString& path)> change;
        bool convertedBefore;
        QStringList lines;
    };
    const QDateTime touched = old.addSecs(3600 + 1);
    const QList<Case> cases = {
        {"touched",
         [&](const QString& p) { setModified(p, touched); },
         true,
         {"a.wav:", "Date différente (Anc. <> Act.): 05/01/2024 10:20:30 <> 05/01/2024 11:20:31"}},
        {"resized",
         [&](const QString& p) {
             rewrite(p, QByteArray(25, 'x'));
             setModified(p, old);
         },
         true,
         {"a.wav:", "Taille différente (Anc. <> Act.): 12 <> 25"}},
        {"failed before", [](const QString&) {}, false, {"a.wav:", "A Convertir"}},
        {"touched and resized, never converted",
         [&](const QString& p) {
             rewrite(p, QByteArray(25, 'x'));
             setModified(p, touched);
         },
         false,
         {"a.wav:", "Date différente (Anc. <> Act.): 05/01/2024 10:20:30 <> 05/01/2024 11:20:31",
          "a.wav:", "Taille différente (Anc. <> Act.): 12 <> 25", "a.wav:", "A Convertir"}},
    };
    // One source folder per case, so that each has its own header.
    for (int i = 0; i < int(cases.size()); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const QString folder = QStringLiteral("Case%1/").arg(i);
        const QString a = sound(folder + "a.wav");
        const QString target = dir.file("Out/a.mp3");
        const Decision first = decide(a, target);
        if (c.convertedBefore)
            converted(first);
        c.change(a);
        clock.advance(60000);

        const Decision d = decide(a, target);
        EXPECT_TRUE(d.required);
        EXPECT_EQ(d.id, QString::number(i + 1).rightJustified(10, QLatin1Char('0')));
        EXPECT_EQ(d.lines, c.lines);
        const QList<Header> h = headers();
        ASSERT_EQ(h.size(), i + 1);
        EXPECT_EQ(h[i].aConvertir, QStringLiteral("O"));
        EXPECT_EQ(h[i].dateTraitement, clock.now().toString("yyyyMMddHHmmss"));
        EXPECT_EQ(h[i].dateSource, d.date.toString("yyyyMMddHHmmss"));
        EXPECT_EQ(h[i].taille.toInt(), d.size);
        EXPECT_EQ(h[i].dossierSource, dir.file(folder));
    }
}

TEST_F(ChangeDetection, HeaderIsFoundWhateverTheLetterCase) {
    const QString a = sound("In/Song.wav");
    converted(decide(a, dir.file("Out/Song.mp3")));

    // The same file after a rename that changed only the case of its name and
    // of its folders (its date is kept by the rename).
    QDir().rename(dir.file("In"), dir.file("IN"));
    QFile::rename(dir.file("IN/Song.wav"), dir.file("IN/SONG.WAV"));
    const Decision d = decide(dir.file("IN/SONG.WAV"), dir.file("out/song.mp3"));
    EXPECT_FALSE(d.required);
    EXPECT_EQ(d.id, QStringLiteral("0000000001"));
    EXPECT_EQ(headers().size(), 1);
}

TEST_F(ChangeDetection, EachTargetFolderHasItsOwnHeader) {
    const QString a = sound("In/a.wav");
    const Decision one = decide(a, dir.file("Out1/a.mp3"));
    const Decision two = decide(a, dir.file("Out2/a.mp3"));
    EXPECT_EQ(one.id, QStringLiteral("0000000001"));
    EXPECT_EQ(two.id, QStringLiteral("0000000002"));
    EXPECT_TRUE(two.required);
    converted(one);

    // Each is judged on its own: the first is done, the second still to convert.
    EXPECT_FALSE(decide(a, dir.file("Out1/a.mp3")).required);
    const Decision second = decide(a, dir.file("Out2/a.mp3"));
    EXPECT_TRUE(second.required);
    EXPECT_EQ(second.id, QStringLiteral("0000000002"));
    EXPECT_EQ(second.lines, (QStringList{"a.wav:", "A Convertir"}));
}

TEST_F(ChangeDetection, FileStillBeingWrittenIsRetriedOnceFinished) {
    // Written a moment ago: it may not be complete, and reads as an unreadable file.
    const QString a = dir.write("In/a.wav", QByteArray(500, 'a'));
    const Decision writing = decide(a, dir.file("Out/a.mp3"));
    EXPECT_TRUE(writing.required);
    EXPECT_EQ(writing.size, 0);
    EXPECT_EQ(writing.date, clock.now());
    // The conversion of such a file fails (the converter refuses it too).
    EnregistrerTentative(
        writing.id, writing.date, clock.now(), clock.now(), writing.size, QStringLiteral("N"),
        QStringLiteral("Fichier 'a.mp3' non trouvé après la conversion"), QStringLiteral("O"));

    // Finished: its real date and size differ from what was recorded.
    setModified(a, old);
    clock.advance(60000);
    const Decision finished = decide(a, dir.file("Out/a.mp3"));
    EXPECT_TRUE(finished.required);
    EXPECT_EQ(finished.id, writing.id);
    EXPECT_EQ(finished.size, 500);
    EXPECT_TRUE(finished.lines.contains(QStringLiteral("Taille différente (Anc. <> Act.): 0 <> 500")));
    EXPECT_TRUE(finished.lines.contains(QStringLiteral("A Convertir")));
}

// A file's date is its wall time on the day it was written, whatever the season
// now: otherwise every file would look changed after each change of season.
TEST_F(ChangeDetection, FileDatesKeepTheirWallTimeAcrossSeasons) {
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Paris");
    tzset();
    const QString winter = sound("In/winter.wav");
    const QString summer = sound("In/summer.wav");
    setModified(winter,
                QDateTime::fromSecsSinceEpoch(1704446430, Qt::UTC)); // 2024-01-05 10:20:30 in Paris (UTC+1)
    setModified(summer,
                QDateTime::fromSecsSinceEpoch(1720167630, Qt::UTC)); // 2024-07-05 10:20:30 in Paris (UTC+2)
    const QString winterText = DateFichier(winter, false).toString("yyyyMMddHHmmss");
    const QString summerText = DateFichier(summer, false).toString("yyyyMMddHHmmss");
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
    EXPECT_EQ(winterText, QStringLiteral("20240105102030"));
    EXPECT_EQ(summerText, QStringLiteral("20240705102030"));
}

// Names that their header's fields cannot give back whole: a file converted
// once is not converted again while it is unchanged.
TEST_F(ChangeDetection, NamesTheFieldsCannotHoldWholeAreFoundAgain) {
    const QString longName = QString(70, QLatin1Char('L'));
    const QString deep = QString(120, QLatin1Char('d')) + "/" + QString(120, QLatin1Char('e')) + "/";
    const struct {
        const char* name;
        QString source, target;
    } cases[] = {
        {"name longer than its field", "In/" + longName + ".wav", "Out/" + longName + ".mp3"},
        {"leading blank", "In/ blank.wav", "Out/ blank.mp3"},
        {"folders longer than their fields", "In/" + deep + "a.wav", "Out/" + deep + "a.mp3"},
        {"letter the record layer does not print", "In/Für Elise.wav", "Out/Für Elise.mp3"},
        {"letters outside the code page", "In/Дом.wav", "Out/Дом.mp3"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ++n;
        const QString source = sound(c.source);
        const QString target = dir.file(c.target);
        const Decision first = decide(source, target);
        ASSERT_TRUE(first.required);
        EXPECT_EQ(first.lines, QStringList{QStringLiteral("Fichier non encore traité: ") + source});
        converted(first);

        clock.advance(60000);
        const Decision again = decide(source, target);
        EXPECT_FALSE(again.required) << again.lines.join('\n').toStdString();
        EXPECT_EQ(again.id, first.id);
        EXPECT_TRUE(again.lines.isEmpty()) << again.lines.join('\n').toStdString();
        EXPECT_EQ(headers().size(), n);
    }
}

// Two names that differ only past what the name fields hold, in one folder:
// one header each, and each file judged against its own.
TEST_F(ChangeDetection, LongNamesSharingTheirFieldKeepTheirOwnHeaders) {
    const QString common = QStringLiteral("Concert du 12 mars 2024 - Orchestre de chambre de ");
    ASSERT_EQ(common.size(), 50);
    const QString one = sound("In/" + common + "Lyon.wav", QByteArray(100, 'a'));
    const QString two = sound("In/" + common + "Nice.wav", QByteArray(200, 'b'));
    const QString oneTarget = dir.file("Out/" + common + "Lyon.mp3");
    const QString twoTarget = dir.file("Out/" + common + "Nice.mp3");

    const Decision first = decide(one, oneTarget);
    const Decision second = decide(two, twoTarget);
    EXPECT_TRUE(first.required);
    EXPECT_TRUE(second.required);
    EXPECT_EQ(first.id, QStringLiteral("0000000001"));
    EXPECT_EQ(second.id, QStringLiteral("0000000002"));
    EXPECT_EQ(second.lines, QStringList{QStringLiteral("Fichier non encore traité: ") + two});
    const QList<Header> h = headers();
    ASSERT_EQ(h.size(), 2);
    EXPECT_EQ(h[0].source, common.trimmed()); // the field cut, read trimmed
    EXPECT_EQ(h[1].source, common.trimmed());
    EXPECT_EQ(h[0].taille, QStringLiteral("0000000100"));
    EXPECT_EQ(h[1].taille, QStringLiteral("0000000200"));

    // Only the first is converted: the second is still to convert, alone.
    converted(first);
    clock.advance(60000);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const Decision a = decide(one, oneTarget);
        EXPECT_FALSE(a.required) << a.lines.join('\n').toStdString();
        EXPECT_EQ(a.id, first.id);
        const Decision b = decide(two, twoTarget);
        EXPECT_TRUE(b.required);
        EXPECT_EQ(b.id, second.id);
        EXPECT_EQ(b.lines, (QStringList{common + "Nice.wav:", "A Convertir"}));
    }
    converted(decide(two, twoTarget));
    EXPECT_FALSE(decide(two, twoTarget).required);
    EXPECT_FALSE(decide(one, oneTarget).required);
    EXPECT_EQ(headers().size(), 2);
}

// Only a header whose names do not fit carries their digest: the reserved
// bytes of every other header stay blank, as the suite's other programs find them.
TEST_F(ChangeDetection, DigestOnlyInHeadersOfNamesThatDoNotFit) {
    decide(sound("In/short.wav"), dir.file("Out/short.mp3"));
    QString cle = QStringLiteral("0000000001");
    BTRieve(0, 5, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
    ASSERT_EQ(btrRequest().BtrStatut, 0);
    EXPECT_EQ(enregConvertEntete().raw(660, 240), QByteArray(240, ' '));

    const QString longName = QString(60, QLatin1Char('x'));
    decide(sound("In/" + longName + ".wav"), dir.file("Out/" + longName + ".mp3"));
    cle = QStringLiteral("0000000002");
    BTRieve(0, 5, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
    ASSERT_EQ(btrRequest().BtrStatut, 0);
    const QByteArray digest = enregConvertEntete().raw(660, 16);
    EXPECT_EQ(QByteArray::fromHex(digest).toHex().toUpper(), digest) << "16 hexadecimal digits";
    EXPECT_EQ(enregConvertEntete().raw(676, 224), QByteArray(224, ' '));
}

// Sources of 2 GiB and more (sparse files: no room taken): the header and the
// detail hold the whole size, and an unchanged file is not converted again.
TEST_F(ChangeDetection, SizesBeyond32BitsAreRecordedWhole) {
    const struct {
        const char* name;
        qint64 size;
        const char* recorded;
    } cases[] = {
        {"2 GiB", 2147483648LL, "2147483648"},
        {"3 GiB", 3221225472LL, "3221225472"},
        {"4 GiB and 1 byte", 4294967297LL, "4294967297"},
        {"the most the field holds", 9999999999LL, "9999999999"},
        {"more than the field holds", 12000000000LL, "9999999999"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ++n;
        const QString source = sound(QStringLiteral("In/big%1.wav").arg(n));
        ASSERT_TRUE(QFile::resize(source, c.size));
        setModified(source, old);
        const QString target = dir.file(QStringLiteral("Out/big%1.mp3").arg(n));

        const Decision first = decide(source, target);
        EXPECT_TRUE(first.required);
        EXPECT_EQ(first.size, c.size);
        converted(first);
        const QList<Header> h = headers();
        ASSERT_EQ(h.size(), n) << "a header for every file";
        EXPECT_EQ(h.last().taille, QLatin1String(c.recorded));
        EXPECT_EQ(h.last().aConvertir, QStringLiteral("N"));
        QString cle = first.id + QStringLiteral("0000000001");
        BTRieve(0, 5, cle, 0, EnregConvertDetail::NoFichier, 1, QString());
        ASSERT_EQ(btrRequest().BtrStatut, 0);
        EXPECT_EQ(enregConvertDetail().TailleFichierSource(), QLatin1String(c.recorded));

        clock.advance(60000);
        const Decision again = decide(source, target);
        EXPECT_FALSE(again.required) << again.lines.join('\n').toStdString();
        EXPECT_EQ(again.id, first.id);
    }

    // One byte more, the date kept: a size change the history sees.
    const QString grown = dir.file("In/big2.wav");
    ASSERT_TRUE(QFile::resize(grown, 3221225473LL));
    setModified(grown, old);
    const Decision d = decide(grown, dir.file("Out/big2.mp3"));
    EXPECT_TRUE(d.required);
    EXPECT_EQ(d.lines,
              (QStringList{"big2.wav:", "Taille différente (Anc. <> Act.): 3221225472 <> 3221225473"}));
    EXPECT_EQ(headers()[1].taille, QStringLiteral("3221225473"));
}

// A history shared by several programs: in a data folder (two instances on one
// computer) or on the PostgreSQL test server (two workstations).
class SharedHistory : public ChangeDetection, public ::testing::WithParamInterface<bool> {
protected:
    std::optional<test::PgTestDatabase> db;

    void SetUp() override {
        if (GetParam()) {
            db.emplace();
            ASSERT_TRUE(db->error().isEmpty()) << db->error().toStdString();
        }
        ChangeDetection::SetUp();
    }
    QString dataFolder() const override { return db ? db->url() + QLatin1Char('/') : data.path(); }
};

INSTANTIATE_TEST_SUITE_P(Places, SharedHistory, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "Server" : "Folder");
                         });

// Two programs creating headers at once on one history: every file gets a
// header of its own, under a number of its own, with its conversion recorded
// under it; none is converted again.
TEST_P(SharedHistory, TwoProgramsCreatingHeadersAtOnceLoseNone) {
    constexpr int perProgram = 150;
    for (int p = 1; p <= 2; ++p)
        for (int i = 0; i < perProgram; ++i)
            sound(QStringLiteral("In%1/f%2.wav").arg(p).arg(i, 3, 10, QLatin1Char('0')));
    QProcess peers[2];
    for (int p = 0; p < 2; ++p) {
        peers[p].start(QStringLiteral(KS3_BIN_DIR "/history_peer"),
                       {dataFolder(), dir.file(QStringLiteral("In%1/").arg(p + 1)),
                        dir.file(QStringLiteral("Out%1/").arg(p + 1))});
        ASSERT_TRUE(peers[p].waitForReadyRead(30000));
        ASSERT_EQ(peers[p].readLine().trimmed(), "ready");
    }
    // File after file, both at the same moment.
    QMap<QString, QString> reported; // source path -> header number
    for (int i = 0; i < perProgram; ++i) {
        for (QProcess& peer : peers)
            peer.write("go\n");
        for (QProcess& peer : peers) // sent now, not when the other answers
            ASSERT_TRUE(peer.waitForBytesWritten(30000));
        for (int p = 0; p < 2; ++p) {
            while (!peers[p].canReadLine())
                ASSERT_TRUE(peers[p].waitForReadyRead(30000)) << "program " << p + 1 << ", file " << i;
            const QString line = QString::fromUtf8(peers[p].readLine()).trimmed();
            ASSERT_TRUE(line.startsWith(QStringLiteral("ok "))) << line.toStdString();
            reported[dir.file(QStringLiteral("In%1/").arg(p + 1)) + line.section(' ', 2)] =
                line.section(' ', 1, 1);
        }
    }
    for (QProcess& peer : peers) {
        peer.closeWriteChannel();
        ASSERT_TRUE(peer.waitForFinished(30000));
        const QString rest = QString::fromUtf8(peer.readAllStandardOutput()).trimmed();
        EXPECT_EQ(rest, QStringLiteral("done")) << "no message from the record layer";
    }
    ASSERT_EQ(reported.size(), 2 * perProgram);

    const QList<Header> h = headers();
    EXPECT_EQ(h.size(), 2 * perProgram);
    QMap<QString, QString> owner; // header number -> source path
    for (const Header& e : h)
        owner[e.id] = e.dossierSource + e.source;
    QStringList elsewhere; // files whose header number is another file's
    for (auto it = reported.cbegin(); it != reported.cend(); ++it)
        if (owner.value(it.value()) != it.key())
            elsewhere << it.key() + QStringLiteral(" -> ") + it.value();
    EXPECT_TRUE(elsewhere.isEmpty()) << elsewhere.size() << ", first: " << elsewhere.value(0).toStdString();

    // One detail per header, under its own header.
    QMap<QString, int> details;
    QString key;
    for (int op = 12;; op = 6) {
        BTRieve(0, op, key, 0, EnregConvertDetail::NoFichier, 1, QString());
        if (btrRequest().BtrStatut != 0)
            break;
        ++details[enregConvertDetail().IdEntete()];
    }
    EXPECT_EQ(details.size(), 2 * perProgram);
    QStringList wrong;
    for (auto it = details.cbegin(); it != details.cend(); ++it)
        if (!owner.contains(it.key()) || it.value() != 1)
            wrong << QStringLiteral("%1 under %2").arg(it.value()).arg(it.key());
    EXPECT_TRUE(wrong.isEmpty()) << wrong.size() << ", first: " << wrong.value(0).toStdString();

    QStringList again;
    for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
        const QString target = QString(it.key()).replace(QStringLiteral("/In"), QStringLiteral("/Out"));
        const Decision d = decide(it.key(), target);
        if (d.required || d.id != it.value())
            again << it.key();
    }
    EXPECT_TRUE(again.isEmpty()) << again.size()
                                 << " converted again, first: " << again.value(0).toStdString();
}

// A header that cannot be written (the history locked by another program for
// longer than the retries): the file is not converted under another file's
// header or under none, the failure is traced, and the next run creates it.
TEST_P(SharedHistory, FileWithoutHeaderWaitsForTheNextRun) {
    converted(decide(sound("In/first.wav"), dir.file("Out/first.mp3")));
    QProcess holder;
    holder.start(QStringLiteral(KS3_BIN_DIR "/history_peer"), {QStringLiteral("hold"), dataFolder()});
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    ASSERT_EQ(holder.readLine().trimmed(), "held 0");

    const QString a = sound("In/a.wav");
    resetTraceLog();
    const Decision locked = decide(a, dir.file("Out/a.mp3"));
    EXPECT_FALSE(locked.required);
    EXPECT_EQ(locked.id, QString());
    const QStringList trace = traceLists().listeLogTemp.stringList();
    EXPECT_TRUE(
        trace.filter(QStringLiteral("Err: CompareFichierEtDonnees: conversion header not created")).size() ==
        1)
        << trace.join('\n').toStdString();
    EXPECT_FALSE(boxes.seen().isEmpty()) << "the lock was reported";
    boxes.clear();

    holder.write("go\n");
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_EQ(holder.readAllStandardOutput().trimmed(), "released 0");
    EXPECT_EQ(headers().size(), 1) << "nothing written meanwhile";

    const Decision next = decide(a, dir.file("Out/a.mp3"));
    EXPECT_TRUE(next.required);
    EXPECT_EQ(next.id, QStringLiteral("0000000002"));
    const QList<Header> h = headers();
    ASSERT_EQ(h.size(), 2);
    EXPECT_EQ(h[0].aConvertir, QStringLiteral("N")) << "the other file's header untouched";
    EXPECT_EQ(h[1].source, QStringLiteral("a.wav"));
}
