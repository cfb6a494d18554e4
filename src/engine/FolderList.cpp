#include "engine/FolderList.h"

#include "common/ErrorRoutine.h"

#include <QByteArrayView>
#include <QDirIterator>
#include <QFile>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace ks3 {

void FolderList(const QString& folder, int flag, QStringList& list) {
    Procedure p("Lib_Systeme", "FolderList");
    QStringList children;
    // The folders themselves, hidden ones included, links left out, as Qt
    // lists them (no name that is not UTF-8): told by their entry type.
    if (!p.step(10, [&] {
            DIR* dir = ::opendir(QFile::encodeName(folder).constData());
            if (dir == nullptr)
                return;
            const int fd = ::dirfd(dir);
            while (const dirent* entry = ::readdir(dir)) {
                const char* name = entry->d_name;
                if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 ||
                    !QByteArrayView(name).isValidUtf8())
                    continue;
                bool isFolder = entry->d_type == DT_DIR;
                if (entry->d_type == DT_UNKNOWN) {
                    struct stat st {};
                    isFolder = ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
                }
                if (isFolder)
                    children << folder + QFile::decodeName(name) + QLatin1Char('/');
            }
            ::closedir(dir);
        }))
        return;
    for (const QString& child : children) {
        list << child;
        FolderList(child, flag, list);
    }
}

int FileCount(const QString& folder, bool recursive) {
    Procedure p("Lib_Systeme", "FileCount");
    int count = 0;
    if (!recursive) {
        if (!p.step(10, [&] {
                ForEachFile(folder, true, true, [&count](const char*) {
                    ++count;
                    return true;
                });
            }))
            return 0;
        return count;
    }
    if (!p.step(10, [&] {
            QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                            recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
            while (it.hasNext()) {
                it.next();
                ++count;
            }
        }))
        return 0;
    return count;
}

bool ForEachFile(const QString& folder, bool hidden, bool system,
                 const std::function<bool(const char* name)>& visit, QList<QByteArray>* nonUtf8) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        // Qt lists no name that is not UTF-8 (NonUtf8Names names them).
        if (name[0] == '\0')
            continue;
        if (!QByteArrayView(name).isValidUtf8()) {
            if (nonUtf8 && name[0] != '.')
                nonUtf8->append(QByteArray(name));
            continue;
        }
        if (!hidden && name[0] == '.')
            continue;
        unsigned char type = entry->d_type;
        struct stat st {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                // Gone meanwhile: of no known kind, so a system entry.
                if (system && !visit(name))
                    break;
                continue;
            }
            type = S_ISLNK(st.st_mode)   ? DT_LNK
                   : S_ISDIR(st.st_mode) ? DT_DIR
                   : S_ISREG(st.st_mode) ? DT_REG
                                         : DT_FIFO; // another kind of entry
        }
        if (type == DT_DIR)
            continue;
        if (type == DT_LNK) {
            // A link is what it leads to; a broken one is a system entry.
            if (::fstatat(fd, name, &st, 0) != 0) {
                if (!system)
                    continue;
            } else if (S_ISDIR(st.st_mode)) {
                continue;
            }
        } else if (type != DT_REG && !system) {
            continue;
        }
        if (!visit(name))
            break;
    }
    ::closedir(dir);
    return true;
}

QStringList FolderFiles(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        files << folder + it.fileName();
    }
    return files;
}

} // namespace ks3
