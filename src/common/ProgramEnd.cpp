#include "common/ProgramEnd.h"

#include "common/TraceLog.h"

#include <cstdlib>

namespace ks3 {

namespace {
ProgramEndHandler& handler() {
    static ProgramEndHandler h;
    return h;
}
bool requested = false;
} // namespace

void FinProgramme(int exitCode) {
    requested = true;
    if (handler()) {
        handler()(exitCode);
        return;
    }
    TraceLogForce(traceLists().listeLog);
    // No destructors: the windows and sockets go with the process.
    std::_Exit(exitCode);
}

bool FinProgrammeDemandee() {
    return requested;
}

void setProgramEndHandler(ProgramEndHandler h) {
    handler() = std::move(h);
    requested = false;
}

} // namespace ks3
