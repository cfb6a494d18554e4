#include "store/StoreServices.h"

namespace ks3 {

namespace {
const StoreServices* bound = nullptr;
} // namespace

const StoreServices& storeServices() {
    static const StoreServices own;
    return bound ? *bound : own;
}

void bindStoreServices(const StoreServices* services) {
    bound = services;
}

} // namespace ks3
