#pragma once

#include "common/Clock.h"
#include "support/ServicesGuard.h"

#include <QDateTime>
#include <cstdint>
#include <functional>
#include <optional>

namespace ks3::test {

// A clock that moves only when told. Waits advance it at once (letting events
// run for waitWithEvents), so timing rules are tested without real waiting.
// It is the program's clock for its lifetime (through a ServicesGuard, so the
// clock it replaced comes back afterwards).
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2024, 2, 16), QTime(8, 5, 9, 42)),
                         std::uint32_t tick = 1000000u);
    ~ManualClock() override;

    QDateTime now() const override { return now_; }
    std::uint32_t tickCount32() const override { return tick_; }
    void sleep(int ms) override;
    void waitWithEvents(int ms) override;

    void advance(int ms);
    void set(const QDateTime& t) { now_ = t; }
    void setTick(std::uint32_t t) { tick_ = t; }
    // Called at every wait with its length (after the clock moved).
    std::function<void(int ms, bool withEvents)> onWait;
    std::int64_t totalWaitedMs = 0;
    int waits = 0;

private:
    QDateTime now_;
    std::uint32_t tick_;
    std::optional<ServicesGuard> installed_;
};

} // namespace ks3::test
