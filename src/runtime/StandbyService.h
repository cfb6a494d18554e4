#pragma once

class QWidget;

namespace ks3 {

// Standby ("Mise en veille"): the program's windows give way to an icon in the
// desktop's notification area. The tray provides the real service; without
// one (Services::standby), standby minimises the main window, so that it can
// be brought back from the task bar (app/Standby.h).
class StandbyService {
public:
    virtual ~StandbyService() = default;
    // SysTrayMiseEnVeille with the tray window and the main window.
    virtual void SysTrayMiseEnVeille(QWidget& mainWindow) = 0;
};

} // namespace ks3
