#include "platform/DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace ks3 {

double FreeDiskBytes(const QString& path) {
    if (path.isEmpty())
        return 0;
    struct statvfs vfs {};
    if (::statvfs(QFile::encodeName(path).constData(), &vfs) != 0)
        return 0;
    return double(vfs.f_bavail) * double(vfs.f_frsize);
}

QString MountPointOf(const QString& path) {
    QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    struct stat st {};
    // Climb to the nearest existing entry.
    while (::stat(QFile::encodeName(p).constData(), &st) != 0) {
        if (p == QLatin1String("/"))
            return p;
        p = QFileInfo(p).path();
    }
    // Then up while the parent lies on the same device.
    while (p != QLatin1String("/")) {
        const QString parent = QFileInfo(p).path();
        struct stat ps {};
        if (::stat(QFile::encodeName(parent).constData(), &ps) != 0 || ps.st_dev != st.st_dev)
            break;
        p = parent;
    }
    return p;
}

} // namespace ks3
