#include "runtime/MainWindowHooks.h"

#include "runtime/Services.h"

namespace ks3 {

const MainWindowHooks& mainWindowHooks() {
    return services().windowHooks;
}

} // namespace ks3
