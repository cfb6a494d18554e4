#pragma once

#include "runtime/Services.h"

#include <functional>

namespace ks3::test {

// Puts a test's services in force for the guard's lifetime: those in force
// when it is made, changed by the test, and exactly those again when it goes
// (not the program's defaults), so that guards nest.
//
//     ManualClock clock;
//     ScriptedMessageBoxService boxes;
//     ServicesGuard services([&](Services& s) { s.questions = &boxes; });
class ServicesGuard {
public:
    explicit ServicesGuard(const std::function<void(Services&)>& change);
    ~ServicesGuard();
    ServicesGuard(const ServicesGuard&) = delete;
    ServicesGuard& operator=(const ServicesGuard&) = delete;

private:
    Services before_;
};

} // namespace ks3::test
