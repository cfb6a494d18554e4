#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace ks3 {

class Clock;

// The main window's conversion timer (TimerMain): every 100 ms it starts the
// run that is due, or, when a run is still in progress, moves the due time 60
// seconds later.
class MainTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalleMs = 100;
    static constexpr int kReportSecondes = 60;

    // clock: where the time is taken from; nullptr means the clock in force.
    explicit MainTimer(Clock* clock = nullptr, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    void setInterval(int ms) { timer_.setInterval(ms); }

    // One tick (TimerMain_Timer). Tests call it directly.
    void tick();

    // How a due run is started; LancerAnalyseConvertStart unless replaced.
    std::function<void()> lancerConversion;

private:
    void onTimeout();

    Clock* clock_;
    QTimer timer_;
    bool tickQueued_ = false;
};

} // namespace ks3
