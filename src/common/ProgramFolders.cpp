#include "common/ProgramFolders.h"

#include "common/DataRoot.h"
#include "common/PathText.h"
#include "common/ProgramValues.h"

#include <QFileInfo>

namespace ks3 {

void DeterminerDossiersProgramme(const QString& executablePath) {
    const QFileInfo exe(executablePath);
    const QString real = exe.canonicalFilePath();
    ProgramValues& v = programValues();
    v.dossierProgramme =
        withTrailingSlash(QFileInfo(real.isEmpty() ? exe.absoluteFilePath() : real).absolutePath());
    v.dossierDonnees = dataRoot(dataRootFactsOf(v.dossierProgramme));
}

} // namespace ks3
