#pragma once

#include "common/ServicePart.h"
#include "engine/ExternalProcess.h"

#include <functional>

namespace ks3 {

class RunSteps;

// The services of the engine that the program chooses, part of the one seam
// of the program (runtime/Services.h). An empty member is the engine's own:
// change detection against the history and the converter found at start-up
// (HistoryRunSteps), a visible converter's output on standard error.
struct EngineServices {
    RunSteps* runSteps = nullptr;
    ProcessOutputViewer processOutputViewer;
    // Gives the main window the focus when it is visible (after a conversion
    // of the automation converter); empty without a window.
    std::function<void()> mainWindowFocus;
};

// The engine's part of the services in force.
inline const EngineServices& engineServices() {
    return ServicePart<EngineServices>::get();
}

} // namespace ks3
