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
// The type of a folder's entry as its listing gives it, else as the file
// system tells (DT_UNKNOWN for an entry gone meanwhile; DT_FIFO for any other
// kind than a file, folder or link).
unsigned char entryType(int fd, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type;
    struct stat st {};
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return DT_UNKNOWN;
    return S_ISLNK(st.st_mode)   ? DT_LNK
           : S_ISDIR(st.st_mode) ? DT_DIR
           : S_ISREG(st.st_mode) ? DT_REG
                                 : DT_FIFO;
}

// Calls visit with each entry of folder ("." and ".." aside) and the
// folder's descriptor, until it returns false. False when the folder cannot be
// read.
bool forEachEntry(const QString& folder, const std::function<bool(int fd, const dirent* entry)>& visit) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (!visit(fd, entry))
            break;
    }
    ::closedir(dir);
    return true;
}

// One read of folder: its subfolders as FolderList takes them (hidden ones
// included, links left out, no name that is not UTF-8), each ending with "/",
// and, with count, the number of its files as FileCount counts them. False
// when the folder cannot be read.
bool lireDossier(const QString& folder, QStringList& children, int* count) {
    return forEachEntry(folder, [&](int fd, const dirent* entry) {
        const char* name = entry->d_name;
        if (!QByteArrayView(name).isValidUtf8())
            return true;
        const unsigned char type = entryType(fd, entry);
        if (type == DT_DIR) {
            children << folder + QFile::decodeName(name) + QLatin1Char('/');
            return true;
        }
        if (count == nullptr)
            return true;
        // A link is what it leads to: a link to a folder is no file.
        struct stat st {};
        if (type == DT_LNK && ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            return true;
        ++*count;
        return true;
    });
}

// FolderList with the count of each folder (0 for one that cannot be read).
void walkCounting(const QString& folder, QStringList& list, QList<int>& counts) {
    QStringList children;
    int count = 0;
    lireDossier(folder, children, &count);
    counts << count;
    for (const QString& child : children) {
        list << child;
        walkCounting(child, list, counts);
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
    p.step(10, [&] { walkCounting(folder, list, counts); });
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
    return forEachEntry(folder, [&](int fd, const dirent* entry) {
        const char* name = entry->d_name;
        // Qt lists no name that is not UTF-8 (NonUtf8Names names them).
        if (!QByteArrayView(name).isValidUtf8()) {
            if (nonUtf8 && name[0] != '.')
                nonUtf8->append(QByteArray(name));
            return true;
        }
        if (!hidden && name[0] == '.')
            return true;
        const unsigned char type = entryType(fd, entry);
        if (type == DT_UNKNOWN) // gone meanwhile: of no known kind, so a system entry
            return system ? visit(name) : true;
        if (type == DT_DIR)
            return true;
        if (type == DT_LNK) {
            // A link is what it leads to; a broken one is a system entry.
            struct stat st {};
            if (::fstatat(fd, name, &st, 0) != 0) {
                if (!system)
                    return true;
            } else if (S_ISDIR(st.st_mode)) {
                return true;
            }
        } else if (type != DT_REG && !system) {
            return true;
        }
        return visit(name);
    });
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
