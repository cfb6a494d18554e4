#pragma once

#include <QString>
#include <cstdint>

namespace ks3 {

// The file operations of the whole program. Each reports its own failures in
// the trace log with fixed texts, so that callers only look at the result; no
// exception reaches the caller. Paths are used literally (no wildcard), and
// "caller" is the "Module:Procedure" origin of the call, quoted in the traces.

// Attribute bits of File_RemoveFlag. Only read-only (the owner's write
// permission missing) has a meaning here; the other bits are accepted and
// left alone.
inline constexpr int kAttrReadOnly = 1;
inline constexpr int kAttrHidden = 2;
inline constexpr int kAttrSystem = 4;
inline constexpr int kAttrFolder = 16;
inline constexpr int kAttrArchive = 32;
inline constexpr int kAttrDevice = 64;

// True when path names an existing regular file (and, with nonEmpty, one that
// is not 0 bytes long). The path is trimmed; a blank before an extension dot
// (" .") is dropped first, and the trimmed path is tried when that fails.
bool File_Exist(const QString& path, const QString& caller = QString(), bool nonEmpty = false);

// Size in bytes of a regular file; -1 when it cannot be opened for reading.
std::int64_t TailleDuFichier(const QString& path);

// Copies source to target (a file name, or an existing folder). A 0-byte or
// missing source is not copied. The target is written whole or not at all,
// with the source's modification time.
bool File_Copy(const QString& source, const QString& target, int flags = 0, int window = 0);

// Deletes a file (a folder is never deleted).
bool File_Delete(const QString& path, const QString& caller, int flags = 0, int window = 0);

// Renames source to target; an existing target is kept and the call fails.
bool File_Rename(const QString& source, const QString& target, int flags = 0, int window = 0,
                 const QString& caller = QString());

// Clears the attribute bits of flags that are set on the file.
void File_RemoveFlag(const QString& path, int flags);

// The attribute bits of a file or folder; 0 when it does not exist.
int FileAttributes(const QString& path);

// "1 023,00 Octets", "1,00 Mo": the size in the largest unit below 1024, with
// French grouping and two decimals; empty beyond the yottaoctets.
QString LibSize(double bytes);

// Free bytes for this user on the file system of root; 0 for a blank root or
// one that cannot be read.
double EspaceLibreDisque(const QString& root);

// The trace line of a failure code of each operation, and whether it is forced.
struct LigneTraceFichier {
    QString texte;
    bool forcee = false;
};
LigneTraceFichier LigneErreurFileCopy(int code, const QString& source, const QString& target);
LigneTraceFichier LigneErreurFileDelete(int code, const QString& path, const QString& caller);
LigneTraceFichier LigneErreurFileRename(int code, const QString& source, const QString& target,
                                        const QString& caller);

} // namespace ks3
