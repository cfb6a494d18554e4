#include "settings/NomFichier.h"

#include "common/ProgramValues.h"

#include <QDir>

namespace ks3 {

bool NomFichierValide(const QString& path) {
    for (const QChar c : path) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('|'))
            return false;
    }
    return true;
}

QString& DossierSettings() {
    static QString folder;
    return folder;
}

void NomDossierSettings() {
    // The settings of a fresh build stay under the program's own folder; there
    // is no older location to migrate from on this platform.
    DossierSettings() = programValues().dossierProgramme + QStringLiteral("Settings/KS3_Convert/");
    QDir().mkpath(DossierSettings());
}

QString NomFichierSettings(const QString& suffix, const QString& extension) {
    if (DossierSettings().trimmed().isEmpty())
        NomDossierSettings();
    QString name = DossierSettings() + QStringLiteral("KS3_Tools_Convert");
    const int instance = programValues().noInstance;
    if (instance != 0)
        name += QLatin1Char('_') + QString::number(instance);
    return name + suffix + extension;
}

} // namespace ks3
