#include "engine/EngineServices.h"

namespace ks3 {

namespace {
const EngineServices* bound = nullptr;
} // namespace

const EngineServices& engineServices() {
    static const EngineServices own;
    return bound ? *bound : own;
}

void bindEngineServices(const EngineServices* services) {
    bound = services;
}

} // namespace ks3
