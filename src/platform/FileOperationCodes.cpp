#include "platform/FileOperationCodes.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace ks3 {

int FileOperationCode(int e) {
    switch (e) {
    case 0:
        return fileop::Ok;
    case ENOENT:
        return fileop::FileNotFound;
    case ENOTDIR:
        return fileop::FolderNotFound;
    case EBUSY:
    case ETXTBSY:
        return fileop::FileInUse;
    case EEXIST:
    case ENOTEMPTY:
        return fileop::TargetExists;
    case ENOMEM:
        return fileop::OutOfMemory;
    case ECANCELED:
        return fileop::Cancelled;
    default:
        return fileop::OtherBase + e;
    }
}

int FileOperationCodeFor(int e, const QString& path) {
    if (e == ENOENT) {
        const QString folder = QFileInfo(path).absolutePath();
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return fileop::FolderNotFound;
    }
    return FileOperationCode(e);
}

} // namespace ks3
