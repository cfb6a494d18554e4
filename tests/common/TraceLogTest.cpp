#include "common/TraceLog.h"
#include "common/Text1252.h"
#include "settings/WorkingFolders.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {
struct TraceLogFixture : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    void SetUp() override {
        resetTraceLog();
        workingFolders().logTechFolder = dir.path();
        traceLists().frmSetupCharge = true;
    }
    void TearDown() override { resetTraceLog(); }
    QStringList waiting() const { return traceLists().listeLog.stringList(); }
    QString dayFile() const { return dir.file(DateTexte(clock.now().date()) + QStringLiteral(".Log")); }
};
} // namespace

TEST_F(TraceLogFixture, LineFormatsFollowTheTagRules) {
    struct Case {
        int t1, t2, t3;
        const char* expected;
    } cases[] = {
        {-1, -1, -1, "08:05:09:042 : : : :Pervasive files opened"},
        {2, -1, -1, "08:05:09:042 :2: : :Pervasive files opened"},
        {-1, -1, 11, "08:05:09:042 : : :B:Pervasive files opened"},
        {5, -2, -2, "08:05:09:042 :Debug:Pervasive files opened"},
    };
    for (const Case& c : cases) {
        traceLists().listeLog.setStringList({});
        TraceLog(c.t1, c.t2, c.t3, QStringLiteral("Pervasive files opened"));
        ASSERT_EQ(waiting().size(), 1);
        EXPECT_EQ(waiting().first(), QString::fromLatin1(c.expected));
    }
}

TEST_F(TraceLogFixture, TheTwoHundredthLineWritesTheBatch) {
    for (int i = 0; i < 199; ++i)
        TraceLog(-1, -1, -1, QStringLiteral("line %1").arg(i));
    EXPECT_EQ(waiting().size(), 199);
    EXPECT_FALSE(QFile::exists(dayFile()));
    TraceLog(-1, -1, -1, QStringLiteral("line 199"));
    EXPECT_TRUE(waiting().isEmpty());
    const QString text = fromCp1252(test::TempDir::read(dayFile()));
    EXPECT_TRUE(text.contains(QStringLiteral("App.Version: ")));
    EXPECT_TRUE(text.contains(QStringLiteral(" : : : :line 0\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(" : : : :line 199\r\n")));
}

TEST_F(TraceLogFixture, ForcedLineBeforeTheOptionsWindowWaitsUntilMoved) {
    traceLists().frmSetupCharge = false;
    TraceLog(-1, -1, -1, QStringLiteral("early failure"), true);
    EXPECT_FALSE(QFile::exists(dayFile()));
    EXPECT_EQ(traceLists().listeLogTemp.rowCount(), 1);
    traceLists().frmSetupCharge = true;
    TraceLog(-1, -1, -1, QStringLiteral("later"), true);
    const QString text = fromCp1252(test::TempDir::read(dayFile()));
    EXPECT_LT(text.indexOf(QStringLiteral("early failure")), text.indexOf(QStringLiteral("later")));
    EXPECT_EQ(traceLists().listeLogTemp.rowCount(), 0);
}

TEST(TraceLogClock, TickCountGrowsAcrossTheWrap) {
    resetTraceLog();
    test::ManualClock clock(QDateTime::currentDateTime(), 0xFFFFFF00u);
    const auto before = GetTickCount64();
    clock.advance(0x200);
    const auto after = GetTickCount64();
    EXPECT_EQ(after - before, 0x200u);
}

TEST(TraceLogClock, TimeSinceStartUp) {
    EXPECT_EQ(TempsDepuisDemarrage((((3ull * 24 + 4) * 60 + 5) * 60 + 6) * 1000), QStringLiteral("3 D 4 H 5 Min 6 Sec"));
    EXPECT_EQ(TempsDepuisDemarrage((5 * 60 + 6) * 1000), QStringLiteral("5 Min 6 Sec"));
}
