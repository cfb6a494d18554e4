#pragma once

#include <functional>

class QWidget;

namespace ks3 {

// What the main window reaches in windows that other parts of the program
// provide (Services::windowHooks). Each is filled by its window's part of the
// services (InstallerFrmSetup for the options window); an empty one is skipped.
struct MainWindowHooks {
    // The options window FrmSetup, loaded hidden at start-up and kept for the
    // whole run; Mnu01Options shows or hides it. nullptr while there is none.
    std::function<QWidget*()> fenetreOptions;
    // Unloads the options window at the end of the program; it asks whether to
    // save modified settings. Runs after the log flush, before the record files close.
    std::function<void()> dechargerOptions;
    // Loads and shows the history window FrmHisto, not modal (Mnu02Historique).
    std::function<void(QWidget& mainWindow)> afficherHistorique;
};

// The hooks of the services in force.
const MainWindowHooks& mainWindowHooks();

} // namespace ks3
