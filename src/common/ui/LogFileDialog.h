#pragma once

#include "common/CommonServices.h"

#include <QString>

class QWidget;

namespace ks3 {

// The file dialog of VoirLog (the main window's "Log techniques"): an
// open-file dialog on folder, proposing proposedFile, with a filter in the
// suite's form ("Logs|*.log"; the daily files' ".Log" is shown too). Returns
// the chosen path, or an empty text when the user cancelled. Without an
// owner, the dialog belongs to the active window.
QString DialogueFichierLog(const QString& folder, const QString& proposedFile, const QString& filter,
                           QWidget* owner = nullptr);

// That dialog as the log-file choice of the window program's services
// (CommonServices::logFileChoice), owned by owner (or the active window).
ChoixFichierLog DialogueFichierLogService(QWidget* owner = nullptr);

} // namespace ks3
