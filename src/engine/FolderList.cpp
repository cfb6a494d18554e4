#include "engine/FolderList.h"

#include "common/ErrorRoutine.h"

#include <QDirIterator>

namespace ks3 {

void FolderList(const QString& folder, int flag, QStringList& list) {
    Procedure p("Lib_Systeme", "FolderList");
    QStringList children;
    if (!p.step(10, [&] {
            QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
            while (it.hasNext()) {
                it.next();
                children << folder + it.fileName() + QLatin1Char('/');
            }
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
