#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ks3 {

// An entry of a folder whose name is not valid UTF-8 (a name in Windows-1252
// from a share, stray bytes). Qt decodes file names as UTF-8: it neither lists
// such an entry nor opens it by any text, so a run never reaches it.
struct NonUtf8Name {
    QString shown;       // the name, each byte that is not UTF-8 written "\xE9"
    bool folder = false; // a folder (links to folders are left out, as the walk does)
};

// The entries of folder, hidden ones left out, whose names are not valid UTF-8,
// in the order the file system returns them; none when the folder cannot be read.
QList<NonUtf8Name> NonUtf8Names(const QString& folder);
// The same for names of folder already read (by ForEachFile).
QList<NonUtf8Name> NonUtf8Names(const QString& folder, const QList<QByteArray>& names);

// A file name as text for the operator: valid UTF-8 kept, every other byte and
// every control character written "\xHH".
QString EscapedFileName(const QByteArray& name);

} // namespace ks3
