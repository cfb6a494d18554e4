#include "common/NomFichierSettings.h"

#include "common/ErrorRoutine.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "platform/NomFichier.h"

#include <QDir>

namespace ks3 {

QString& DossierSettings() {
    static QString d;
    return d;
}

void NomDossierSettings() {
    Procedure p("Lib_Public", "NomDossierSettings");
    p.step(10, [] { DossierSettings() = DossierDonnees() + QStringLiteral("Settings/KS3_Convert/"); });
    p.step(20, [] {
        if (NomFichierValide(DossierSettings()) && !QDir().mkpath(DossierSettings()))
            TraceLog(-1, -1, -1,
                     QStringLiteral("Err: Folder cannot be created: ") + DossierSettings() +
                         QStringLiteral(" |Sub: Lib_Public:NomDossierSettings"),
                     true);
    });
    // The old settings file of the operating system's own folder has no
    // counterpart here: there is nothing to move.
}

QString NomFichierSettings(const QString& suffix, const QString& extension) {
    if (DossierSettings().trimmed().isEmpty())
        NomDossierSettings();
    QString nom = DossierSettings() + QStringLiteral("KS3_Tools_Convert");
    if (programValues().noInstance != 0)
        nom += QLatin1Char('_') + QString::number(programValues().noInstance);
    return nom + suffix + extension;
}

} // namespace ks3
