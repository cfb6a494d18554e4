#pragma once

#include "common/ServicePart.h"
#include "store/RecordManagerCall.h"

namespace ks3 {

// The services of the record layer that the program chooses, part of the one
// seam of the program (runtime/Services.h). An empty member is the layer's
// own: BTRCALL.
struct StoreServices {
    RecordManagerCall recordManagerCall;
};

// The record layer's part of the services in force.
inline const StoreServices& storeServices() {
    return ServicePart<StoreServices>::get();
}

} // namespace ks3
