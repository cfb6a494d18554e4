#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ks3 {

// The platform's folder picker: returns the folder chosen (a file-system path,
// with or without a trailing "/"), or an empty text when the user cancels.
// Replaceable so that tests answer it.
using FolderPicker = std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;
// nullptr restores the platform's picker (QFileDialog, folders only).
void setFolderPicker(FolderPicker picker);

// Asks for a folder, starting in the folder part of `startText` (the program's
// folder when that is blank), titled `title` or "Sélectionnez un dossier: ".
// Returns the folder ending in "/", created when it does not exist yet, or "*"
// when the user cancels.
QString FolderSelect(QWidget* owner, const QString& startText, const QString& title = QString());

} // namespace ks3
