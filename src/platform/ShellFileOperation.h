#pragma once

#include <QString>

namespace ks3 {

// The file operations behind File_Copy, File_Delete and File_Rename. Each
// returns 0 on success, else a failure code of FileOperationCodes.h. Paths are
// taken literally: no wildcard is expanded.

// Copies a regular file. A target that is an existing folder receives the file
// under its own name; missing folders of the target are created (never those
// of a network path, "//server/share/..."). The data goes to a hidden
// temporary file in the target's folder that is renamed over the target once
// complete and on disk, so the target is never seen half written. The copy
// keeps the source's permission bits (less the umask) and its access and
// modification times, as the shell's copy does.
int ShellCopyFile(const QString& source, const QString& target);

// Deletes a file (never a folder).
int ShellDeleteFile(const QString& path);

// Renames (or moves) a file; an existing target is never replaced
// (fileop::TargetExists). Across file systems the file is copied then deleted.
int ShellRenameFile(const QString& source, const QString& target);

// Creates every missing folder of path; 0 or the errno of the failure.
int MakeFolderPath(const QString& path);

} // namespace ks3
