#include "settings/InitGeneralSysteme.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/IniFile.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"

#include <gtest/gtest.h>

using namespace ks3;

using test::tracedEnding;

namespace {
struct SoundFolders : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    QString sys;
    void SetUp() override {
        resetTraceLog();
        programValues().dossierProgramme = dir.path();
        workingFolders().dossierConfigGlobal = dir.file("Config/");
        sys = dir.file("Config/BW_SYS.ini");
    }
    void TearDown() override { resetTraceLog(); }
    const std::array<QString, 10>& row(int r) { return programValues().dossiersSons[r]; }
};
} // namespace

TEST_F(SoundFolders, DefaultsWithoutConfiguration) {
    InitGeneralSysteme();
    EXPECT_EQ(row(1)[0], dir.path()); // JIN: the local folder
    EXPECT_EQ(row(8)[0], dir.path() + "Sons_Recorder/");
    EXPECT_TRUE(row(1)[1].isEmpty());
    EXPECT_TRUE(tracedEnding(QStringLiteral("Sound Folder: JIN: ") + dir.path()));
}

TEST_F(SoundFolders, ActiveEntriesFillSlotsInOrderAndSkipOthers) {
    EcritureIni(sys, "Repertoires", "REPLOCAL", "/srv/local");
    const QString section = QStringLiteral("Repertoire_Station_001");
    EcritureIni(sys, section, "JIN_00", "O,/snd/a");
    EcritureIni(sys, section, "JIN_01", "N,/snd/skipped");
    EcritureIni(sys, section, "JIN_02", "O;/snd/semicolon");
    EcritureIni(sys, section, "JIN_03", "o,/snd/lowercase");
    EcritureIni(sys, section, "JIN_04", "O,/snd/b/");
    InitGeneralSysteme();
    EXPECT_EQ(row(1)[0], QStringLiteral("/snd/a/"));
    EXPECT_EQ(row(1)[1], QStringLiteral("/snd/b/"));
    EXPECT_TRUE(row(1)[2].isEmpty());
    EXPECT_EQ(row(2)[0], QStringLiteral("/srv/local/")); // LIN: default from REPLOCAL
}

TEST_F(SoundFolders, ElevenActiveEntriesKeepTen) {
    const QString section = QStringLiteral("Repertoire_Station_001");
    for (int j = 0; j < 11; ++j)
        EcritureIni(sys, section, QStringLiteral("PUB_%1").arg(j, 2, 10, QLatin1Char('0')),
                    QStringLiteral("O,/pub/%1").arg(j));
    InitGeneralSysteme();
    for (int j = 0; j < 10; ++j)
        EXPECT_EQ(row(6)[j], QStringLiteral("/pub/%1/").arg(j));
    for (const QString& l : test::tracedLines())
        EXPECT_FALSE(l.contains(QStringLiteral("/pub/10"))) << l.toStdString();
}

TEST_F(SoundFolders, UncSectionOnlyWithOnInCapitals) {
    EcritureIni(sys, "UNC_Actif001", "RUB_00", "ON");
    EcritureIni(sys, "UNC_Actif001", "INF_00", "on");
    EcritureIni(sys, "Repertoire_Station_UNC_001", "RUB_00", "O,//server/rub");
    EcritureIni(sys, "Repertoire_Station_UNC_001", "INF_00", "O,//server/inf");
    EcritureIni(sys, "Repertoire_Station_001", "INF_00", "O,/local/inf");
    InitGeneralSysteme();
    EXPECT_EQ(row(3)[0], QStringLiteral("//server/rub/"));
    EXPECT_EQ(row(4)[0], QStringLiteral("/local/inf/"));
}
