#pragma once

class QIcon;
class QString;
class QWidget;

namespace ks3 {

class FrmSysTray;
class TrayIcon;

// The tray module: the icon in the notification area and the interception of
// its clicks for the main window. One icon and one interception per process.

// The longest tip the icon takes: a field of 64 characters with its
// terminating zero.
inline constexpr int kLongueurMaxTip = 63;

// Enters standby: intercepts the icon's clicks for mainWindow, shows the icon
// with the main window's icon and the tip "Kestrel: Tools Convert", then
// hides every visible window of the program (last opened first) and lists
// them in the tray window's ListeFrm.
void SysTrayMiseEnVeille(FrmSysTray& tray, QWidget& mainWindow);

// Shows the icon with its image and its tip (cut to kLongueurMaxTip).
void SysTrayAjouteIcone(TrayIcon& icone, const QIcon& image, const QString& tip);
// Removes the icon.
void SysTraySupprimeIcone(TrayIcon& icone);

// Starts intercepting the clicks on the tray's icon for window: only the
// right button, pressed, reaches the tray window's menu. Starting twice has
// no effect.
void SysTrayHook(FrmSysTray& tray, QWidget& window);
// Stops intercepting; no effect when not started.
void SysTrayUnhook();
// True while the clicks are intercepted.
bool SysTrayHookActif();

} // namespace ks3
