#include "app/Standby.h"

#include "common/TraceLog.h"
#include "runtime/Services.h"

#include <QWidget>

namespace ks3 {

namespace {
class MinimiseStandby final : public StandbyService {
public:
    void SysTrayMiseEnVeille(QWidget& mainWindow) override {
        TraceLog(-1, -1, -1, QStringLiteral("Standby without tray icon: main window minimised"));
        mainWindow.showMinimized();
    }
};
} // namespace

StandbyService& standbyService() {
    static MinimiseStandby fallback;
    StandbyService* s = services().standby;
    return s ? *s : fallback;
}

} // namespace ks3
