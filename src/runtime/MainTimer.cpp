#include "runtime/MainTimer.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "engine/ConversionRun.h"
#include "engine/RunState.h"

namespace ks3 {

MainTimer::MainTimer(Clock* clock, QObject* parent)
    : QObject(parent), lancerConversion([] { LancerAnalyseConvertStart(); }), clock_(clock) {
    timer_.setInterval(kIntervalleMs);
    connect(&timer_, &QTimer::timeout, this, &MainTimer::onTimeout);
}

void MainTimer::start() {
    timer_.start();
}
void MainTimer::stop() {
    timer_.stop();
}

void MainTimer::onTimeout() {
    // A run started from a timer event would keep this timer from firing until
    // the run ends (Qt never re-enters a timer's own event), and the due time
    // could not be postponed during the run. So the tick runs from a posted
    // event, which the run's event processing lets the timer interrupt.
    if (tickQueued_)
        return;
    tickQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            tickQueued_ = false;
            tick();
        },
        Qt::QueuedConnection);
}

void MainTimer::tick() {
    Procedure p("FrmMain", "TimerMain_Timer");
    p.step(10, [&] {
        RunState& s = runState();
        if (!s.timerActif)
            return;
        const Clock& c = clock_ ? *clock_ : clock();
        const QDateTime due = s.prochaineConversion();
        if (!due.isValid() || c.now() < due)
            return;
        if (s.conversionEnCours) {
            // Postponed without touching the label: it still shows the time
            // the run was planned for, and the run plans the next one when it ends.
            s.reporteProchaineConversion(due.addSecs(kReportSecondes));
            return;
        }
        if (lancerConversion)
            lancerConversion();
    });
}

} // namespace ks3
