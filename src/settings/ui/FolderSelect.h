#pragma once

#include <QString>

class QWidget;

namespace ks3 {

// Asks for a folder with the picker of the services (Services::folderPicker,
// else QFileDialog, folders only), starting in the folder part of `startText`
// (the program's folder when that is blank), titled `title` or "Sélectionnez
// un dossier: ".
// Returns the folder ending in "/", created when it does not exist yet, or "*"
// when the user cancels.
QString FolderSelect(QWidget* owner, const QString& startText, const QString& title = QString());

} // namespace ks3
