#pragma once

#include <QString>
#include <QStringList>

namespace ks3 {

// Appends every subfolder of folder (which ends with "/"), depth first, parents
// before children, each ending with "/". The flag is passed along unused.
void FolderList(const QString& folder, int flag, QStringList& list);
// Number of files directly in folder (hidden ones included); 0 when it is missing.
int FileCount(const QString& folder, bool recursive = false);
// The ordinary files of folder (hidden ones left out), as full paths, in the
// order the file system returns them.
QStringList FolderFiles(const QString& folder);

} // namespace ks3
