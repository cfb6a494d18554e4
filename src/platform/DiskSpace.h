#pragma once

#include <QString>

namespace ks3 {

// Bytes free for this user on the file system that holds path (an existing
// file or folder); 0 when it cannot be read.
double FreeDiskBytes(const QString& path);

// The mount point of the file system that holds path, or of its nearest
// existing parent folder ("/" at worst); the Linux counterpart of a drive root.
QString MountPointOf(const QString& path);

} // namespace ks3
