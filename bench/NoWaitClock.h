#pragma once

#include "common/Clock.h"

namespace ks3::bench {

// The computer's time, without the waits: a run measured with it does not
// spend the pauses the program makes between source entries.
class NoWaitClock final : public Clock {
public:
    QDateTime now() const override { return system_.now(); }
    qint64 msecsSinceEpoch() const override { return system_.msecsSinceEpoch(); }
    std::uint32_t tickCount32() const override { return system_.tickCount32(); }
    void sleep(int) override {}
    void waitWithEvents(int) override {}

private:
    SystemClock system_;
};

} // namespace ks3::bench
