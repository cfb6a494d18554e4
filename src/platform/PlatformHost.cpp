#include "platform/PlatformHost.h"

#include <QThread>
#include <cstdio>

namespace ks3 {

namespace {
class StandAloneHost final : public PlatformHost {
public:
    void sleep(int ms) override {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(ms));
    }
    void failure(const QString& line) override {
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
};

PlatformHost* current = nullptr;
} // namespace

PlatformHost& platformHost() {
    static StandAloneHost standAlone;
    return current ? *current : standAlone;
}

void setPlatformHost(PlatformHost* host) {
    current = host;
}

} // namespace ks3
