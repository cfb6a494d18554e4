#pragma once

#include "common/CommonServices.h"
#include "engine/EngineServices.h"
#include "runtime/MainWindowHooks.h"
#include "store/StoreServices.h"

#include <QString>
#include <functional>

class QWidget;

namespace ks3 {

class StandbyService;

// The platform's folder picker: returns the folder chosen (a file-system path,
// with or without a trailing "/"), or an empty text when the user cancels.
using FolderPicker = std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;

// Every service of the program that can be replaced, in one object: main()
// builds the window program's (message boxes for people, the options window,
// the log-file dialog), the unattended run (--once) keeps the layers' own, and
// tests put theirs in with one scoped guard (tests/support/ServicesGuard.h).
// An empty member is the default of the layer that uses it.
//
// Each layer reads its own part (CommonServices, StoreServices,
// EngineServices); the members below are those of the windows.
struct Services : CommonServices, StoreServices, EngineServices {
    // Loads the options window hidden at start-up; without it the start-up
    // loads the options alone (ChargerOptions).
    std::function<void()> optionsWindowLoader;
    // What the main window reaches in the other windows.
    MainWindowHooks windowHooks;
    // The tray's standby; without it the main window is minimised.
    StandbyService* standby = nullptr;
    // The folder picker of the options window; without it QFileDialog.
    FolderPicker folderPicker;
};

// The services in force: those installed last, or every layer's own.
const Services& services();

// Puts these services in force for every layer (they are copied). Also
// forgets an end of the program asked through the services of before.
void installServices(const Services& replacement);

} // namespace ks3
