#pragma once

namespace ks3 {

// The loading of the options, as the options window does it when it is loaded
// hidden at start-up: working folders, the computer's address, the working
// folders of slot 0, the settings, then the trace log reaches its file.
// Without windows (--once) this is all of it.
void ChargerOptions();

} // namespace ks3
