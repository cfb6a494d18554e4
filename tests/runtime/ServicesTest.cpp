#include "runtime/Services.h"
#include "common/Clock.h"
#include "common/MessageBoxService.h"
#include "common/Messages.h"
#include "common/ProgramEnd.h"
#include "engine/RunSteps.h"
#include "platform/IniFile.h"
#include "platform/PlatformHost.h"
#include "store/RecordManagerCall.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {
struct NoSteps : RunSteps {
    CompareResult compare(const QString&, const QString&) override { return {}; }
    void convert(const CompareResult&, const QString&, const QString&) override {}
};
} // namespace

// A replacement ends with its guard and gives back what was in force before
// it, not the program's default: a clock inside a test that has its own
// clock leaves the test's clock in force.
TEST(Services, AGuardGivesBackWhatWasInForceBefore) {
    Clock* const system = &ks3::clock();
    {
        test::ManualClock outer;
        ScriptedMessageBoxService boxes;
        test::ServicesGuard questions([&](Services& s) { s.questions = &boxes; });
        {
            test::ManualClock inner;
            EXPECT_EQ(&ks3::clock(), &inner);
            EXPECT_EQ(&messageBoxService(), &boxes);
        }
        EXPECT_EQ(&ks3::clock(), &outer);
        EXPECT_EQ(&messageBoxService(), &boxes);
    }
    EXPECT_EQ(&ks3::clock(), system);
    EXPECT_NE(dynamic_cast<UnattendedMessageBoxService*>(&messageBoxService()), nullptr);
}

// One install reaches every layer: the common layer's clock and questions,
// the platform layer's pauses, the record layer's calls, the engine's steps
// and the program's end.
TEST(Services, OneInstallReachesEveryLayer) {
    test::ManualClock clock;
    ScriptedMessageBoxService boxes;
    NoSteps steps;
    int recordCalls = 0;
    int ends = 0;
    test::ServicesGuard services([&](Services& s) {
        s.questions = &boxes;
        s.runSteps = &steps;
        s.recordManagerCall = [&](std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint16_t,
                                  std::int16_t) -> std::int16_t {
            ++recordCalls;
            return 0;
        };
        s.programEnd = [&](int) { ++ends; };
    });

    AffMsg(QStringLiteral("Question ?"), 32 + 4, QStringLiteral("Titre"));
    EXPECT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(&runSteps(), &steps);
    std::uint32_t length = 0;
    callRecordManager(0, nullptr, nullptr, &length, nullptr, 0, 0);
    EXPECT_EQ(recordCalls, 1);
    FinProgramme(3);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(FinProgrammeDemandee());

    // The platform layer waits with the program's clock: no real pause.
    platformHost().sleep(60000);
    EXPECT_EQ(clock.totalWaitedMs, 60000);
    test::TempDir dir;
    dir.write("plain", "not a folder");
    EXPECT_FALSE(EcritureIni(dir.file("plain/sub/x.ini"), "A", "K", "v"));
    EXPECT_EQ(clock.totalWaitedMs, 60000 + 2 * kEcritureIniPauseMs);
}

// Services put in force forget an end of the program that the ones before
// were asked for, so that a test does not inherit it.
TEST(Services, InstallingForgetsAnEndAskedBefore) {
    {
        test::ServicesGuard ending([](Services& s) { s.programEnd = [](int) {}; });
        FinProgramme(1);
        EXPECT_TRUE(FinProgrammeDemandee());
    }
    EXPECT_FALSE(FinProgrammeDemandee());
}
