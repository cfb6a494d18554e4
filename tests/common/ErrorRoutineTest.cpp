#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"
#include "settings/WorkingFolders.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(ErrorRoutine, AFailingStepIsTracedAndTheProcedureGoesOn) {
    resetTraceLog();
    test::ManualClock clock;
    test::TempDir dir;
    workingFolders().logTechFolder = dir.path();
    traceLists().frmSetupCharge = true;

    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    bool secondRan = false;
    p.step(120, [] { raiseError(53, QStringLiteral("File not found")); });
    p.step(130, [&] { secondRan = true; });
    EXPECT_TRUE(secondRan);
    const QString text = QString::fromLatin1(test::TempDir::read(dir.file(DateTexte(clock.now().date()) + ".Log")));
    const QString entry =
        QStringLiteral("Err:53 (File not found)  Source:FrmSetup Sub:LabelDataArrivalUDP_Change:120");
    EXPECT_TRUE(text.contains(QStringLiteral(" : : : :") + entry + QStringLiteral("\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(" : : : :") + QString(entry.size(), QLatin1Char('=')) + QStringLiteral("\r\n")));
    resetTraceLog();
}
