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

namespace {
// One read of folder: its subfolders as FolderList takes them (hidden ones
// included, links left out, no name that is not UTF-8), each ending with "/",
// and, with count, the number of its files as FileCount counts them. False
// when the folder cannot be read.
bool lireDossier(const QString& folder, QStringList& children, int* count) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 ||
            !QByteArrayView(name).isValidUtf8())
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                type = DT_FIFO; // gone meanwhile: of no known kind
            else
                type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
        }
        if (type == DT_DIR) {
            children << folder + QFile::decodeName(name) + QLatin1Char('/');
            continue;
        }
        if (count == nullptr)
            continue;
        // A link is what it leads to: a link to a folder is no file.
        struct stat st {};
        if (type == DT_LNK && ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            continue;
        ++*count;
    }
    ::closedir(dir);
    return true;
}

void walk(const QString& folder, QStringList& list, QList<int>* counts) {
    QStringList children;
    int count = 0;
    lireDossier(folder, children, counts ? &count : nullptr);
    if (counts)
        *counts << count;
    for (const QString& child : children) {
        list << child;
        walk(child, list, counts);
    }
}
} // namespace

void FolderList(const QString& folder, int flag, QStringList& list) {
    Procedure p("Lib_Systeme", "FolderList");
    QStringList children;
    if (!p.step(10, [&] { lireDossier(folder, children, nullptr); }))
        return;
    for (const QString& child : children) {
        list << child;
        FolderList(child, flag, list);
    }
}

void FolderListCounts(const QString& folder, QStringList& list, QList<int>& counts) {
    Procedure p("Lib_Systeme", "FolderListCounts");
    p.step(10, [&] { walk(folder, list, &counts); });
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
