#include "runtime/MainTimer.h"
#include "common/DateFormats.h"
#include "common/DoEvents.h"
#include "support/RunFixture.h"

#include <QCoreApplication>

using namespace ks3;

namespace {
struct MainTimerTest : test::RunFixture {
    void SetUp() override {
        RunFixture::SetUp();
        runState().timerActif = true;
        runState().setProchaineConversion(clock.now().addSecs(500));
    }
};
} // namespace

TEST_F(MainTimerTest, ADueTickStartsARunAndTheNextIsPlannedFromItsEnd) {
    MainTimer timer;
    timer.tick();
    clock.advance(499'000);
    timer.tick();
    EXPECT_TRUE(steps.compared.isEmpty()) << "not due yet";

    clock.advance(1000);
    const QDateTime started = clock.now();
    timer.tick();
    EXPECT_EQ(steps.compared.size(), 2);
    EXPECT_FALSE(runState().conversionEnCours);
    // The run took ten seconds (one per source entry) and the frequency of the
    // settings counts from its end.
    EXPECT_EQ(clock.now(), started.addSecs(10));
    EXPECT_EQ(runState().prochaineConversion(), clock.now().addSecs(7 * 60));
    EXPECT_EQ(runState().label(RunState::LabelTimingConvert0), texteDateHeure(clock.now().addSecs(7 * 60)));

    // Not due again until then.
    timer.tick();
    EXPECT_EQ(steps.compared.size(), 2);
}

TEST_F(MainTimerTest, NothingStartsWhileTheTimerIsNotActive) {
    MainTimer timer;
    runState().timerActif = false;
    clock.advance(600'000);
    timer.tick();
    EXPECT_TRUE(steps.compared.isEmpty());
}

TEST_F(MainTimerTest, ARunDueDuringARunIsPostponedByAMinuteWithoutTouchingTheLabel) {
    MainTimer timer;
    QList<QDateTime> seen;
    QString labelDuringRun;
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        // The run is due again while this one is still going.
        const QDateTime due = clock.now();
        runState().setProchaineConversion(due);
        labelDuringRun = runState().label(RunState::LabelTimingConvert0);
        timer.tick();
        seen << runState().prochaineConversion();
        timer.tick(); // not due any more
        seen << runState().prochaineConversion();
        clock.advance(60'000);
        timer.tick(); // due again a minute later
        seen << runState().prochaineConversion();
        EXPECT_EQ(runState().label(RunState::LabelTimingConvert0), labelDuringRun);
        EXPECT_EQ(seen, (QList<QDateTime>{due.addSecs(60), due.addSecs(60), due.addSecs(120)}));
    };
    clock.advance(500'000);
    timer.tick();
    EXPECT_EQ(steps.compared.size(), 2) << "one run only, both files";
    EXPECT_EQ(seen.size(), 3);
    EXPECT_EQ(runState().prochaineConversion(), clock.now().addSecs(7 * 60));
}

TEST_F(MainTimerTest, TheTimerKeepsTickingDuringTheRunItStarted) {
    // With a zero interval the timer fires at every pass of the event loop, so
    // the run's own event processing must let it tick.
    MainTimer timer;
    bool postponed = false;
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        const QDateTime due = clock.now();
        runState().setProchaineConversion(due);
        for (int i = 0; i < 50 && runState().prochaineConversion() == due; ++i)
            DoEvents();
        postponed = runState().prochaineConversion() == due.addSecs(60);
    };
    clock.advance(500'000);
    timer.setInterval(0);
    timer.start();
    for (int i = 0; i < 50 && steps.compared.isEmpty(); ++i)
        QCoreApplication::processEvents();
    timer.stop();
    EXPECT_EQ(steps.compared.size(), 2);
    EXPECT_TRUE(postponed);
    EXPECT_EQ(MainTimer().interval(), 100);
}
