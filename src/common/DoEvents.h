#pragma once

namespace ks3 {

// Lets pending events run (timers, sockets, window events). The one place where
// long operations hand control back to the event loop.
void DoEvents();

} // namespace ks3
