#include "common/ComputerName.h"

#include <QHostInfo>

namespace ks3 {

QString ComputerName() {
    return QHostInfo::localHostName();
}

} // namespace ks3
