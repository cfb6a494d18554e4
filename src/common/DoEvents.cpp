#include "common/DoEvents.h"

#include <QCoreApplication>

namespace ks3 {

void DoEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace ks3
