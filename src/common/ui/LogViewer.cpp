#include "common/ui/LogViewer.h"

#include "common/TraceLog.h"
#include "common/VisionneuseTexte.h"
#include "common/ui/LogFileDialog.h"

namespace ks3 {

QStringList CommandeVisionneuse(const QString& file) {
    return CommandeVisionneuseTexte(file);
}

void VoirLogFenetre(QWidget* owner, const QString& folder) {
    // VoirLog writes the waiting lines, shows this dialog with today's file
    // proposed and starts the viewer on the chosen file; a cancel, or a viewer
    // that cannot start, ends it silently.
    InstallerDialogueFichierLog(owner);
    VoirLog(folder);
}

} // namespace ks3
