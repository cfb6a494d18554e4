#include "app/Standby.h"

#include "common/TraceLog.h"

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

StandbyService* current = nullptr;
} // namespace

StandbyService& standbyService() {
    static MinimiseStandby fallback;
    return current ? *current : fallback;
}

void setStandbyService(StandbyService* service) {
    current = service;
}

} // namespace ks3
