#pragma once

#include <QString>

namespace ks3 {

// This computer's network name (the host name).
QString ComputerName();

} // namespace ks3
