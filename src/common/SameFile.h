#pragma once

#include <QString>

namespace ks3 {

// True when both paths name one existing file or folder, as the file system
// sees it (same device and inode): "a/./b", "a//b", a link and the file it
// points to are all the same file. A missing path is the same as nothing.
bool SameFile(const QString& a, const QString& b);

} // namespace ks3
