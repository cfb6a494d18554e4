#pragma once

#include <QString>

namespace ks3 {

// Failure codes of the file operations (copy, delete, rename), numbered as the
// suite's trace lines have always shown them. The system's errors are mapped
// onto them; any other error keeps its own number, offset so that it never
// meets one of the named codes.
namespace fileop {
inline constexpr int Ok = 0;
inline constexpr int FileNotFound = 2;
inline constexpr int OutOfMemory = 14;
inline constexpr int FileInUse = 32;
inline constexpr int FolderNotFound = 53;
inline constexpr int TargetExists = 183;
inline constexpr int SourceMissing = 1026;
inline constexpr int Cancelled = 1223;
// Any other errno e gives OtherBase + e (EACCES gives 10013, ENOSPC 10028).
inline constexpr int OtherBase = 10000;
} // namespace fileop

// The code of a system error number (errno); 0 gives Ok.
int FileOperationCode(int errnoValue);

// The code of a failure on path: as FileOperationCode, except that a missing
// entry whose folder is missing too gives FolderNotFound rather than FileNotFound.
int FileOperationCodeFor(int errnoValue, const QString& path);

} // namespace ks3
