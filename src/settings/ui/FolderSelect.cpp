#include "settings/ui/FolderSelect.h"

#include "common/ErrorRoutine.h"
#include "common/PathText.h"
#include "common/ProgramValues.h"
#include "engine/DecomposeFichier.h"
#include "runtime/Services.h"
#include "settings/FolderTools.h"

#include <QDir>
#include <QFileDialog>

namespace ks3 {

namespace {

QString platformPicker(QWidget* owner, const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

// The folder given to the picker has no trailing "/", except the root itself.
QString sansSlashFinal(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

QString FolderSelect(QWidget* owner, const QString& startText, const QString& title) {
    Procedure p("FrmSetup", "FolderSelect");
    QString resultat = QStringLiteral("*");
    QString depart;
    p.step(10, [&] {
        depart = DecomposeFichier(startText).fichierDossier;
        if (depart.trimmed().isEmpty())
            depart = DossierDonnees();
    });
    p.step(20, [&] {
        const QString titre = title.isEmpty() ? QStringLiteral("Sélectionnez un dossier: ") : title;
        const FolderPicker& picker = services().folderPicker;
        const QString choisi = picker ? picker(owner, titre, sansSlashFinal(depart))
                                      : platformPicker(owner, titre, sansSlashFinal(depart));
        // Only a folder of the file system is an answer; a cancel gives nothing.
        if (!choisi.trimmed().isEmpty() && QDir::isAbsolutePath(choisi))
            resultat = withTrailingSlash(choisi);
    });
    p.step(30, [&] {
        if (resultat == QLatin1String("*"))
            return;
        QString dossier = resultat;
        if (!FolderFound(dossier, false))
            VerificationEtCreationRepertoire(resultat, true);
    });
    return resultat;
}

} // namespace ks3
