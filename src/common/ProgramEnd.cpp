#include "common/ProgramEnd.h"

#include "common/CommonServices.h"
#include "common/TraceLog.h"

#include <cstdlib>

namespace ks3 {

namespace {
bool requested = false;
} // namespace

void FinProgramme(int exitCode) {
    requested = true;
    if (const ProgramEndHandler& handler = commonServices().programEnd) {
        handler(exitCode);
        return;
    }
    TraceLogForce(traceLists().listeLog);
    // No destructors: the windows and sockets go with the process.
    std::_Exit(exitCode);
}

bool FinProgrammeDemandee() {
    return requested;
}

void OublierFinProgramme() {
    requested = false;
}

} // namespace ks3
