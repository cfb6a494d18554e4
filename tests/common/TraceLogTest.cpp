#include "common/TraceLog.h"
#include "common/ComputerName.h"
#include "common/VersionApplication.h"
#include "common/WorkingFolders.h"
#include "platform/Text1252.h"
#include "support/ManualClock.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

constexpr std::uint32_t kDayMs = 86400000u;

struct TraceLogFixture : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    void SetUp() override {
        resetTraceLog();
        workingFolders().logTechFolder = dir.path();
        traceLists().frmSetupCharge = true;
    }
    void TearDown() override {
        resetTraceLog();
        workingFolders().logTechFolder.clear();
    }
    QStringList waiting() const { return traceLists().listeLog.stringList(); }
    QString fileOf(const QDate& d) const { return dir.file(DateTexte(d) + QStringLiteral(".Log")); }
    QString dayFile() const { return fileOf(clock.now().date()); }
    QString text(const QString& path) const { return fromCp1252(test::TempDir::read(path)); }
    QStringList lines(const QString& path) const {
        QStringList l = text(path).split(QStringLiteral("\r\n"));
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }
    void force() { TraceLogForce(traceLists().listeLog); }
};

std::string joined(const QStringList& l) {
    return l.join(QLatin1Char('\n')).toStdString();
}

} // namespace

TEST_F(TraceLogFixture, LineFormatsFollowTheTagRules) {
    struct Case {
        int t1, t2, t3;
        const char* expected;
    } cases[] = {
        {-1, -1, -1, "08:05:09:042 : : : :Pervasive files opened"},
        {2, -1, -1, "08:05:09:042 :2: : :Pervasive files opened"},
        {-1, -1, 11, "08:05:09:042 : : :B:Pervasive files opened"},
        {12, 3, 9, "08:05:09:042 :12:3:9:Pervasive files opened"},
        {-1, 0, 10, "08:05:09:042 : :0:A:Pervasive files opened"},
        {5, -2, -2, "08:05:09:042 :Debug:Pervasive files opened"},
        {5, -2, -1, "08:05:09:042 :5: : :Pervasive files opened"},
    };
    for (const Case& c : cases) {
        traceLists().listeLog.setStringList({});
        TraceLog(c.t1, c.t2, c.t3, QStringLiteral("Pervasive files opened"));
        ASSERT_EQ(waiting().size(), 1);
        EXPECT_EQ(waiting().first(), QString::fromLatin1(c.expected));
    }
}

TEST_F(TraceLogFixture, FramedEntryWritesFrameAndMessageAtOnceWhenForced) {
    TraceLogEncadre(-1, -1, -1, QStringLiteral("Stop"), QStringLiteral("=="), true);
    const QStringList l = lines(dayFile());
    ASSERT_GE(l.size(), 2);
    EXPECT_TRUE(l.at(l.size() - 2).endsWith(QStringLiteral(" : : : :====")));
    EXPECT_TRUE(l.last().endsWith(QStringLiteral(" : : : :Stop")));
    ASSERT_EQ(waiting().size(), 1); // the closing frame waits for the next batch
    EXPECT_TRUE(waiting().first().endsWith(QStringLiteral(":====")));
}

TEST_F(TraceLogFixture, TheTwoHundredthLineWritesTheBatch) {
    for (int i = 0; i < 199; ++i)
        TraceLog(-1, -1, -1, QStringLiteral("line %1").arg(i));
    EXPECT_EQ(waiting().size(), 199);
    EXPECT_FALSE(QFile::exists(dayFile()));
    TraceLog(-1, -1, -1, QStringLiteral("line 199"));
    EXPECT_TRUE(waiting().isEmpty());
    const QStringList l = lines(dayFile());
    ASSERT_EQ(l.size(), 7 + 200);
    EXPECT_EQ(l.at(7), QStringLiteral("08:05:09:042 : : : :line 0"));
    EXPECT_EQ(l.last(), QStringLiteral("08:05:09:042 : : : :line 199"));
}

TEST_F(TraceLogFixture, HeaderDescribesTheComputer) {
    clock.setTick(((3u * 24 + 4) * 60 + 5) * 60000u + 6000u);
    TraceLog(-1, -1, -1, QStringLiteral("first"), true);
    const QString p = QStringLiteral("==:==:==:====:=:=:=:");
    const QString rule = p + QString(43, QLatin1Char('='));
    const QStringList expected = {
        rule,
        p + QStringLiteral("System started since 3 D 4 H 5 Min 6 Sec"),
        p + QStringLiteral("App.Version: ") + VersionApplication(),
        p + QStringLiteral("App.ExeName: ") +
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
        p + QStringLiteral("App.ProductName: Kestrel Tools Convert"),
        p + QStringLiteral("Computer.Name: ") + ComputerName(),
        rule,
        QStringLiteral("08:05:09:042 : : : :first"),
    };
    EXPECT_EQ(joined(lines(dayFile())), joined(expected));
    // The file is Windows-1252 with CR LF ends.
    TraceLog(-1, -1, -1, QStringLiteral("Fichier créé"), true);
    EXPECT_TRUE(test::TempDir::read(dayFile()).endsWith("Fichier cr\xE9\xE9\r\n"));
}

// A text from outside (a file name, a datagram) cannot add lines of its own
// to the log: its control characters are written out.
TEST_F(TraceLogFixture, ControlCharactersOfAMessageAreWrittenOut) {
    struct Case {
        QString message;
        const char* expected;
    } cases[] = {
        {QStringLiteral("Source: a\n08:00:00:000 : : : :Fake line.wav"),
         "Source: a\\n08:00:00:000 : : : :Fake line.wav"},
        {QStringLiteral("cr\rtab\tend"), "cr\\rtab\\tend"},
        {QString::fromUtf16(u"bell\u0007 esc\u001B del\u007F c1\u0085 ls\u2028."),
         "bell\\x07 esc\\x1B del\\x7F c1\\x85 ls\\u2028."},
        {QStringLiteral("plain é text"), "plain é text"},
    };
    for (const Case& c : cases)
        TraceLog(-1, -1, -1, c.message, true);
    const QStringList written = lines(dayFile()).mid(7); // after the header
    ASSERT_EQ(written.size(), int(std::size(cases))) << joined(written);
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(written.at(i),
                  QStringLiteral("08:05:09:042 : : : :") + QString::fromUtf8(cases[i].expected));
}

TEST_F(TraceLogFixture, ForcedLineBeforeTheOptionsWindowWaitsUntilMoved) {
    traceLists().frmSetupCharge = false;
    TraceLog(-1, -1, -1, QStringLiteral("early failure"), true);
    EXPECT_FALSE(QFile::exists(dayFile()));
    EXPECT_EQ(traceLists().listeLogTemp.rowCount(), 1);
    traceLists().frmSetupCharge = true;
    TraceLog(-1, -1, -1, QStringLiteral("later"), true);
    const QString t = text(dayFile());
    EXPECT_GE(t.indexOf(QStringLiteral("early failure")), 0);
    EXPECT_LT(t.indexOf(QStringLiteral("early failure")), t.indexOf(QStringLiteral("later")));
    EXPECT_EQ(traceLists().listeLogTemp.rowCount(), 0);
}

TEST_F(TraceLogFixture, BatchAfterMidnightGoesToTheNewDayWithAHeader) {
    clock.set(QDateTime(QDate(2024, 2, 16), QTime(23, 59, 58)));
    TraceLog(-1, -1, -1, QStringLiteral("evening"), true);
    TraceLog(-1, -1, -1, QStringLiteral("just before midnight"));
    clock.set(QDateTime(QDate(2024, 2, 17), QTime(0, 0, 1)));
    TraceLog(-1, -1, -1, QStringLiteral("after midnight"), true);

    const QStringList first = lines(fileOf(QDate(2024, 2, 16)));
    EXPECT_EQ(first.size(), 8);
    EXPECT_TRUE(first.last().endsWith(QStringLiteral("evening")));
    const QStringList second = lines(fileOf(QDate(2024, 2, 17)));
    ASSERT_EQ(second.size(), 9);
    EXPECT_TRUE(second.at(1).contains(QStringLiteral("System started since")));
    EXPECT_EQ(second.at(7), QStringLiteral("23:59:58:000 : : : :just before midnight"));
    EXPECT_EQ(second.at(8), QStringLiteral("00:00:01:000 : : : :after midnight"));
}

TEST_F(TraceLogFixture, EachRunOfTheDayAddsItsHeader) {
    TraceLog(-1, -1, -1, QStringLiteral("run one"), true);
    TraceLog(-1, -1, -1, QStringLiteral("run one again"), true);
    resetTraceLog(); // the program starts again
    traceLists().frmSetupCharge = true;
    TraceLog(-1, -1, -1, QStringLiteral("run two"), true);
    const QString t = text(dayFile());
    EXPECT_EQ(t.count(QStringLiteral("App.Version: ")), 2);
    EXPECT_LT(t.indexOf(QStringLiteral("run one again")), t.lastIndexOf(QStringLiteral("App.Version: ")));
}

TEST_F(TraceLogFixture, OldLogFilesAreDeletedOnceADay) {
    // 16 February 2024: the limit is 2 January 2024.
    const QStringList doomed = {"20240101.Log", "0001.Log", "20231215.log", ".20231201.Log"};
    const QStringList kept = {"20240102.Log", "Archive.Log", "20240101.txt", "20240216.Log"};
    for (const QString& name : doomed + kept)
        dir.write(name, "old\r\n");
    TraceLog(-1, -1, -1, QStringLiteral("purge"), true);
    for (const QString& name : doomed)
        EXPECT_FALSE(QFile::exists(dir.file(name))) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(dir.file(name))) << name.toStdString();

    // The pass does not run again that day, and does the next day.
    dir.write("20231001.Log", "old\r\n");
    TraceLog(-1, -1, -1, QStringLiteral("same day"), true);
    EXPECT_TRUE(QFile::exists(dir.file("20231001.Log")));
    clock.set(QDateTime(QDate(2024, 2, 17), QTime(8, 0)));
    TraceLog(-1, -1, -1, QStringLiteral("next day"), true);
    EXPECT_FALSE(QFile::exists(dir.file("20231001.Log")));
    EXPECT_TRUE(QFile::exists(dir.file("20240216.Log")));
}

TEST_F(TraceLogFixture, NothingToWriteTouchesNoFile) {
    dir.write("20240101.Log", "old\r\n");
    force(); // first batch of the run: a header, and the deletion pass
    EXPECT_EQ(lines(dayFile()).size(), 7);
    EXPECT_FALSE(QFile::exists(dir.file("20240101.Log")));
    const QByteArray before = test::TempDir::read(dayFile());
    force();
    EXPECT_EQ(test::TempDir::read(dayFile()), before);
}

TEST_F(TraceLogFixture, RestartWarningsFollowTheFirstHeaderOnly) {
    struct Case {
        std::uint32_t days;
        QStringList warnings;
    } cases[] = {
        {44, {}},
        {46, {"Reboot needed because computer started since more 45 days"}},
        {49,
         {"Reboot needed because computer started since more 45 days",
          "Reboot needed because computer started since more 48 days"}},
    };
    for (const Case& c : cases) {
        resetTraceLog();
        traceLists().frmSetupCharge = true;
        QFile::remove(dayFile());
        QFile::remove(fileOf(clock.now().date().addDays(1)));
        const QDateTime start = clock.now();
        clock.setTick(c.days * kDayMs);
        TraceLog(-1, -1, -1, QStringLiteral("first"), true);
        QStringList expected;
        for (const QString& w : c.warnings)
            expected << QStringLiteral("08:05:09:042 : : : :") + w;
        expected << QStringLiteral("08:05:09:042 : : : :first");
        EXPECT_EQ(joined(lines(dayFile()).mid(7)), joined(expected)) << c.days;

        // The next day's header repeats neither.
        clock.set(start.addDays(1));
        TraceLog(-1, -1, -1, QStringLiteral("next day"), true);
        EXPECT_FALSE(text(fileOf(start.date().addDays(1))).contains(QStringLiteral("Reboot needed")))
            << c.days;
        clock.set(start);
    }
}

TEST_F(TraceLogFixture, UnwritableFolderLosesTheBatchWithoutLooping) {
    workingFolders().logTechFolder = dir.file("missing/");
    for (int i = 0; i < 5; ++i)
        TraceLog(-1, -1, -1, QStringLiteral("line %1").arg(i));
    TraceLog(-1, -1, -1, QStringLiteral("failure"), true);
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing")));
    // The error report's closing frame is all that waits.
    EXPECT_LE(waiting().size(), 1);
    // Once the folder exists the next batch is written, header first.
    QDir().mkpath(dir.file("missing"));
    TraceLog(-1, -1, -1, QStringLiteral("back"), true);
    EXPECT_TRUE(text(dir.file("missing/") + DateTexte(clock.now().date()) + ".Log").contains("back"));
}

TEST_F(TraceLogFixture, WithoutALogFolderLinesWait) {
    workingFolders().logTechFolder.clear();
    TraceLog(-1, -1, -1, QStringLiteral("kept"), true);
    EXPECT_EQ(waiting().size(), 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(TraceLogFixture, VoirLogWritesTheLinesAndProposesTodaysFile) {
    struct Seen {
        QString folder, proposed, filter;
        bool fileComplete = false;
    } seen;
    test::ServicesGuard services([&](Services& s) {
        s.logFileChoice = [&](const QString& folder, const QString& proposed, const QString& filter) {
            seen = {folder, proposed, filter, text(dayFile()).contains(QStringLiteral("before viewing"))};
            return QString(); // cancelled
        };
    });
    TraceLog(-1, -1, -1, QStringLiteral("before viewing"));
    VoirLog(dir.path());
    EXPECT_TRUE(seen.fileComplete);
    EXPECT_EQ(seen.folder, dir.path());
    EXPECT_EQ(seen.proposed, dir.path() + QStringLiteral("20240216.Log"));
    EXPECT_EQ(seen.filter, QStringLiteral("Logs|*.log"));
    EXPECT_TRUE(waiting().isEmpty());
}

TEST_F(TraceLogFixture, VoirLogOpensTheChosenFileInTheViewer) {
    // The viewer is $VISUAL: a script that records its arguments, one a line.
    const QString out = dir.file("viewer-args");
    const QString script = dir.write(
        "viewer.sh", QByteArray("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"") + out.toUtf8() +
                         ".part\"\nmv \"" + out.toUtf8() + ".part\" \"" + out.toUtf8() + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldVisual = qgetenv("VISUAL");
    qputenv("VISUAL", (script + QStringLiteral(" --readonly")).toUtf8());
    const QString chosen = dir.write("odd name; $(x).Log", "x");
    test::ServicesGuard services([&](Services& s) {
        s.logFileChoice = [&](const QString&, const QString&, const QString&) { return chosen; };
    });
    VoirLog(dir.path());
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(out) && t.elapsed() < 20000)
        QThread::msleep(20);
    if (oldVisual.isNull())
        qunsetenv("VISUAL");
    else
        qputenv("VISUAL", oldVisual);
    EXPECT_EQ(QString::fromUtf8(test::TempDir::read(out)), QStringLiteral("--readonly\n") + chosen + "\n");
}

TEST(TraceLogClock, TickCountGrowsAcrossTheWrap) {
    resetTraceLog();
    test::ManualClock clock(QDateTime::currentDateTime(), 0xFFFFFF00u);
    const auto before = GetTickCount64();
    clock.advance(0x200);
    const auto after = GetTickCount64();
    EXPECT_EQ(after - before, 0x200u);
    clock.advance(0x100);
    EXPECT_EQ(GetTickCount64() - after, 0x100u);
}

namespace {
// A platform whose 64-bit count is already past the first wrap.
struct LongUptimeClock final : Clock {
    std::uint64_t full = 0;
    QDateTime now() const override { return QDateTime(QDate(2024, 2, 16), QTime(8, 0)); }
    std::uint32_t tickCount32() const override { return std::uint32_t(full); }
    std::uint64_t tickCount64() const override { return full; }
    void sleep(int) override {}
    void waitWithEvents(int) override {}
};
} // namespace

TEST(TraceLogClock, TickCountStartsAtTheRealUptime) {
    resetTraceLog();
    LongUptimeClock c;
    test::ServicesGuard services([&](Services& s) { s.clock = &c; });
    c.full = 60ull * kDayMs; // beyond the 49.7 days of the 32-bit count
    EXPECT_EQ(GetTickCount64(), 60ull * kDayMs);
    c.full += 1234;
    EXPECT_EQ(GetTickCount64(), 60ull * kDayMs + 1234);
    resetTraceLog();
}

TEST(TraceLogClock, TimeSinceStartUp) {
    struct Case {
        std::uint64_t ms;
        const char* text;
    } cases[] = {
        {(((3ull * 24 + 4) * 60 + 5) * 60 + 6) * 1000, "3 D 4 H 5 Min 6 Sec"},
        {((2ull * 24) * 60) * 60000, "2 D 0 H 0 Min 0 Sec"},
        {(5 * 60 + 6) * 1000, "5 Min 6 Sec"},
        {3600 * 1000, "1 H 0 Min 0 Sec"},
        {2500, "0 Min 2 Sec"}, // a half goes to the even neighbour
        {3500, "0 Min 4 Sec"},
        {119600, "2 Min 0 Sec"}, // rounding carries into the minutes
    };
    for (const Case& c : cases)
        EXPECT_EQ(TempsDepuisDemarrage(c.ms), QString::fromLatin1(c.text)) << c.ms;
}

TEST(TraceLogClock, DateAndTimeTexts) {
    test::ManualClock clock(QDateTime(QDate(2024, 3, 5), QTime(7, 4, 3, 9)));
    EXPECT_EQ(TimingMilliSec(), QStringLiteral("07:04:03:009"));
    clock.set(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59, 999)));
    EXPECT_EQ(TimingMilliSec(), QStringLiteral("23:59:59:999"));
    EXPECT_EQ(DateTexte(QDate(987, 1, 2)), QStringLiteral("09870102"));
    EXPECT_EQ(DateTexte(QDate()), QStringLiteral("20240305"));
}
