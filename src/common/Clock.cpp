#include "common/Clock.h"

#include "common/CommonServices.h"
#include "common/DoEvents.h"

#include <QElapsedTimer>
#include <QThread>
#include <ctime>

namespace ks3 {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 SystemClock::msecsSinceEpoch() const {
    return QDateTime::currentMSecsSinceEpoch();
}

std::uint64_t SystemClock::tickCount64() const {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec) / 1000000u;
}

std::uint32_t SystemClock::tickCount32() const {
    return static_cast<std::uint32_t>(tickCount64() & 0xFFFFFFFFu);
}

void SystemClock::sleep(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void SystemClock::waitWithEvents(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        DoEvents();
        const qint64 left = ms - t.elapsed();
        if (left <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(left, 10)));
    } while (true);
}

namespace {
SystemClock& systemClock() {
    static SystemClock c;
    return c;
}
} // namespace

Clock& clock() {
    Clock* c = commonServices().clock;
    return c ? *c : systemClock();
}

} // namespace ks3
