#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace ks3 {

// Appends every subfolder of folder (which ends with "/"), depth first, parents
// before children, each ending with "/". The flag is passed along unused.
void FolderList(const QString& folder, int flag, QStringList& list);
// FolderList, and the FileCount of folder and of each subfolder, from one read
// of each folder: counts gets the count of folder, then of each subfolder in the
// order they are appended to list.
void FolderListCounts(const QString& folder, QStringList& list, QList<int>& counts);
// Number of files directly in folder (hidden ones included); 0 when it is missing.
int FileCount(const QString& folder, bool recursive = false);
// The ordinary files of folder (hidden ones left out), as full paths, in the
// order the file system returns them.
QStringList FolderFiles(const QString& folder);
// Calls visit with the name of each file of folder (not a folder, nor a link to
// one), in the order the file system returns them, until it returns false: as
// QDir's filters list them. Without hidden, names starting with "." are left
// out; without system, so are pipes, sockets, devices and broken links. One
// read of the folder; a file is only looked at further when the folder's
// listing does not tell its type. False when the folder cannot be read.
// With nonUtf8, the names left out for not being UTF-8 (see NonUtf8Names),
// hidden ones aside, are appended to it, from the same read.
bool ForEachFile(const QString& folder, bool hidden, bool system,
                 const std::function<bool(const char* name)>& visit, QList<QByteArray>* nonUtf8 = nullptr);

} // namespace ks3
