#include "runtime/MainWindowHooks.h"

namespace ks3 {

MainWindowHooks& mainWindowHooks() {
    static MainWindowHooks hooks;
    return hooks;
}

} // namespace ks3
