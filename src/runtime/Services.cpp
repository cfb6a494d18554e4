#include "runtime/Services.h"

#include "common/ProgramEnd.h"

namespace ks3 {

namespace {
Services& current() {
    static Services s;
    return s;
}
} // namespace

const Services& services() {
    return current();
}

void installServices(const Services& replacement) {
    Services& s = current();
    s = replacement;
    bindCommonServices(&s);
    ServicePart<StoreServices>::bind(&s);
    ServicePart<EngineServices>::bind(&s);
    OublierFinProgramme();
}

} // namespace ks3
