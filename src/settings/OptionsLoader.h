#pragma once

#include <functional>

namespace ks3 {

// The loading of the options, as the options window does it when it is loaded
// hidden at start-up: working folders, the computer's address, the settings,
// then the trace log reaches its file. Without windows (--once) this is all
// of it.
void ChargerOptions();

// The windows install the loading of the options window here; the start-up
// then calls it instead of ChargerOptions (the window calls ChargerOptions
// itself, around its own steps).
void setOptionsWindowLoader(std::function<void()> loader);
void ChargerFenetreOptions();

} // namespace ks3
