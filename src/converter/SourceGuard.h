#pragma once

#include <string>

namespace ks3::conv {

// Nothing on Linux stops a program from reading a file that another one is
// still writing, so the converter refuses such a source itself: a partial file
// is never converted, and the next run tries again.

// Minimum age of a source's last modification, in ms.
constexpr long long kMinimumSourceAgeMs = 5000;

// Throws ConverterError when the source may not be read: ExitFailed when it is
// missing or not a file, ExitSourceBusy when it is still being written.
void checkSource(const std::string& path, long long minAgeMs);

// True when a process other than this one holds the file open for writing
// (scans /proc/<pid>/fd and the access mode in /proc/<pid>/fdinfo).
bool openForWritingElsewhere(const std::string& path);

} // namespace ks3::conv
