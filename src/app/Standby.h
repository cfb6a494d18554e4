#pragma once

#include "runtime/StandbyService.h"

namespace ks3 {

// The standby in force: the services' (the tray), else minimising the main
// window.
StandbyService& standbyService();

} // namespace ks3
