#include "support/ManualClock.h"

#include "common/DoEvents.h"

namespace ks3::test {

ManualClock::ManualClock(QDateTime start, std::uint32_t tick) : now_(std::move(start)), tick_(tick) {
    installed_.emplace([this](Services& s) { s.clock = this; });
}

ManualClock::~ManualClock() = default;

void ManualClock::advance(int ms) {
    now_ = now_.addMSecs(ms);
    tick_ += static_cast<std::uint32_t>(ms);
}

void ManualClock::sleep(int ms) {
    advance(ms);
    totalWaitedMs += ms;
    ++waits;
    if (onWait)
        onWait(ms, false);
}

void ManualClock::waitWithEvents(int ms) {
    advance(ms);
    totalWaitedMs += ms;
    ++waits;
    DoEvents();
    if (onWait)
        onWait(ms, true);
}

} // namespace ks3::test
