#pragma once

#include "common/ServicePart.h"

#include <QString>
#include <functional>

namespace ks3 {

class Clock;
class MessageBoxService;

// The end of the program (FinProgramme) as a replacement gives it.
using ProgramEndHandler = std::function<void(int exitCode)>;
// The file dialog of VoirLog: an open-file dialog on folder proposing
// proposedFile, with filter in the suite's form ("Logs|*.log"). Returns the
// chosen path, or an empty text when cancelled.
using ChoixFichierLog =
    std::function<QString(const QString& folder, const QString& proposedFile, const QString& filter)>;
// Opens a text file for the user without waiting; false when it could not.
using TextViewer = std::function<bool(const QString& path)>;

// The services of the common layer that the program chooses, part of the one
// seam of the program (runtime/Services.h). An empty member is the layer's
// own: the system clock, the unattended answers, the real ending, no log-file
// dialog (VoirLog only writes the lines), the desktop's text viewer.
struct CommonServices {
    Clock* clock = nullptr;
    MessageBoxService* questions = nullptr;
    ProgramEndHandler programEnd;
    ChoixFichierLog logFileChoice;
    TextViewer textViewer;
};

// The common part of the services in force.
inline const CommonServices& commonServices() {
    return ServicePart<CommonServices>::get();
}
// Called by installServices with the common part of the services it puts in
// force: it also hands the clock in force and the trace log to the platform
// layer (platform/PlatformHost.h).
void bindCommonServices(const CommonServices* services);

} // namespace ks3
