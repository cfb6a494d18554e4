#include "common/WindowPosition.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "platform/Text1252.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(CorrigePositionFenetre, KeepsWindowsReachable) {
    // Screen 16200 twips high (1080 px), window 6000 twips high.
    constexpr int screen = 16200;
    constexpr int height = 6000;
    struct Case {
        int left, top;
        int wantLeft, wantTop;
        const char* why;
    } cases[] = {
        {300, 16201, 300, 8100, "below the screen: to mid-height"},
        {300, 16200, 300, 16200, "at the screen's bottom edge: kept"},
        {300, -5901, 300, 0, "wholly above the screen (top + height < 100): to the top"},
        {300, -5900, 300, -5900, "top + height = 100: kept"},
        {-20001, 400, 0, 400, "far to the left (a minimised window): to the left edge"},
        {-20000, 400, -20000, 400, "-20000 is kept, even off the screen"},
        {90000, 400, 90000, 400, "far to the right: not moved back"},
        {-32000, -32000, 0, 0, "a minimised window's position"},
        {0, 0, 0, 0, "nothing stored"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CorrigePositionFenetre({c.left, c.top}, height, screen),
                  (PositionFenetre{c.wantLeft, c.wantTop}))
            << c.why;
}

namespace {
struct PositionsFile : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    ProgramValues saved = programValues();
    void SetUp() override {
        programValues().dossierProgramme = dir.path();
        programValues().noInstance = 0;
        DossierSettings().clear();
    }
    void TearDown() override {
        programValues() = saved;
        DossierSettings().clear();
    }
};
} // namespace

TEST_F(PositionsFile, StoredPerInstanceUnderTheSettingsFolder) {
    EXPECT_EQ(FichierPositions(), dir.path() + "Settings/KS3_Convert/KS3_Tools_Convert_Positions.Ini");
    EcriturePositionFenetre(QStringLiteral("Frm_Main"), QString(), {1500, 2250});
    const QString file = FichierPositions();
    EXPECT_EQ(fromCp1252(test::TempDir::read(file)),
              QStringLiteral("[FrmPos]\r\nFrm_Main_Left=1500\r\nFrm_Main_Top=2250\r\n"));

    programValues().noInstance = 2;
    EXPECT_EQ(FichierPositions(), dir.path() + "Settings/KS3_Convert/KS3_Tools_Convert_2_Positions.Ini");
    // Instance 2 has stored nothing yet: its window opens at 0, 0.
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("Frm_Main"), QString(), 6000, 16200),
              (PositionFenetre{0, 0}));
    EcriturePositionFenetre(QStringLiteral("Frm_Main"), QString(), {-300, 600});
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("Frm_Main"), QString(), 6000, 16200),
              (PositionFenetre{-300, 600}));

    programValues().noInstance = 0;
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("Frm_Main"), QString(), 6000, 16200),
              (PositionFenetre{1500, 2250}));
}

TEST_F(PositionsFile, ReadsWithTheLeadingNumberRuleAndCorrects) {
    const QString file = NomFichierSettings(QStringLiteral("_Positions"), QStringLiteral(".Ini"));
    dir.write(file.mid(dir.path().size()), "[FrmPos]\r\nFrmSetup_Left=1200twips\r\nFrmSetup_Top=99999\r\n"
                                           "FrmHisto_Left=abc\r\nFrmHisto_Top=-7000\r\n"
                                           "FrmSetup_Left_Bis=45\r\nFrmSetup_Top_Bis=60\r\n");
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("FrmSetup"), QString(), 6000, 16200),
              (PositionFenetre{1200, 8100}));
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("FrmHisto"), QString(), 6000, 16200),
              (PositionFenetre{0, 0}));
    // A qualifier goes at the end of both keys after "_".
    EXPECT_EQ(LecturePositionFenetre(QStringLiteral("FrmSetup"), QStringLiteral("Bis"), 6000, 16200),
              (PositionFenetre{45, 60}));
}
