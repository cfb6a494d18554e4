#pragma once

#include "store/RecordManagerCall.h"

namespace ks3 {

// The services of the record layer that the program chooses, part of the one
// seam of the program (runtime/Services.h). An empty member is the layer's
// own: BTRCALL.
struct StoreServices {
    RecordManagerCall recordManagerCall;
};

// The record layer's part of the services in force.
const StoreServices& storeServices();
// Called by installServices only; nullptr goes back to the layer's own.
void bindStoreServices(const StoreServices* services);

} // namespace ks3
