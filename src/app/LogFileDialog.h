#pragma once

#include <QString>

namespace ks3 {

// The file dialog of VoirLog (the main window's "Log techniques"): an
// open-file dialog on folder, proposing proposedFile, with a filter in the
// suite's form ("Logs|*.log"; the daily files' ".Log" is shown too). Returns
// the chosen path, or an empty text when the user cancelled.
QString DialogueFichierLog(const QString& folder, const QString& proposedFile, const QString& filter);

// Makes VoirLog use that dialog; called once when the windows start.
void InstallerDialogueFichierLog();

} // namespace ks3
