#include "common/CommonServices.h"

#include "common/Clock.h"
#include "common/TraceLog.h"
#include "platform/PlatformHost.h"

namespace ks3 {

namespace {

// The platform layer pauses with the clock in force and traces its failures.
class ProgramPlatformHost final : public PlatformHost {
public:
    void sleep(int ms) override { clock().sleep(ms); }
    void failure(const QString& line) override { TraceLog(-1, -1, -1, line, true); }
};
} // namespace

void bindCommonServices(const CommonServices* services) {
    static ProgramPlatformHost host;
    ServicePart<CommonServices>::bind(services);
    setPlatformHost(services ? &host : nullptr);
}

} // namespace ks3
