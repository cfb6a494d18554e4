#pragma once

#include <QDateTime>
#include <cstdint>

namespace ks3 {

// Where the program takes the time from, and how it waits. Every wait of the
// program goes through the current clock, so tests replace it and advance time
// without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time, with milliseconds.
    virtual QDateTime now() const = 0;
    // The same instant as milliseconds since 1970 UTC, without the cost of a
    // local-time conversion.
    virtual qint64 msecsSinceEpoch() const { return now().toMSecsSinceEpoch(); }
    // Raw 32-bit millisecond count since the computer started (wraps).
    virtual std::uint32_t tickCount32() const = 0;
    // The same count on 64 bits, when the platform keeps one; by default the
    // 32-bit count. Only its part above 32 bits is used, once, to start the
    // wrap-corrected count of GetTickCount64 at the real time since start-up.
    virtual std::uint64_t tickCount64() const { return tickCount32(); }
    // Blocks the thread for ms milliseconds; pending events do not run.
    virtual void sleep(int ms) = 0;
    // Waits ms milliseconds while pending events keep running.
    virtual void waitWithEvents(int ms) = 0;
};

// The clock of the real computer.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    qint64 msecsSinceEpoch() const override;
    std::uint32_t tickCount32() const override;
    std::uint64_t tickCount64() const override;
    void sleep(int ms) override;
    void waitWithEvents(int ms) override;
};

// The clock in force (CommonServices::clock, else the system clock).
Clock& clock();

} // namespace ks3
