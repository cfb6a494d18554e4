#include "support/ServicesGuard.h"

namespace ks3::test {

ServicesGuard::ServicesGuard(const std::function<void(Services&)>& change) : before_(services()) {
    Services replacement = before_;
    change(replacement);
    installServices(replacement);
}

ServicesGuard::~ServicesGuard() {
    installServices(before_);
}

} // namespace ks3::test
