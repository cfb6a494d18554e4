#pragma once

class QWidget;

namespace ks3 {

// Standby ("Mise en veille"): the program's windows give way to an icon in the
// desktop's notification area. The tray window provides the program's service
// (app/FrmSysTray.h); without one (Services::standby), standby minimises the
// main window, so that it can be brought back from the task bar (app/Standby.h).
class StandbyService {
public:
    virtual ~StandbyService() = default;
    // SysTrayMiseEnVeille with the tray window and the main window.
    virtual void SysTrayMiseEnVeille(QWidget& mainWindow) = 0;
    // The main window is being unloaded: windows hidden by standby are shown
    // again before the program's windows are unloaded.
    virtual void unload() {}
};

} // namespace ks3
