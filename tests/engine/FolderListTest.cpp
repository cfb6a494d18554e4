#include "engine/FolderList.h"
#include "support/TempDir.h"

#include <QDirIterator>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace ks3;

namespace {
QStringList qtLists(const QString& folder, QDir::Filters filters) {
    QStringList names;
    QDirIterator it(folder, {QStringLiteral("*")}, filters);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    names.sort();
    return names;
}

QStringList filesOf(const QString& folder, bool hidden, bool system) {
    QStringList names;
    ForEachFile(folder, hidden, system, [&names](const char* name) {
        names << QFile::decodeName(name);
        return true;
    });
    names.sort();
    return names;
}
} // namespace

// The run's count and list of a folder's files, read straight from the folder,
// take exactly what Qt's listing of files takes, for every kind of entry: hidden
// names, folders and links to them, links to files, broken links, pipes, a link
// to a pipe, names that are not UTF-8, and nothing from a subfolder.
TEST(FolderList, FilesAreThoseQtListsForEveryKindOfEntry) {
    test::TempDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QByteArray f = QFile::encodeName(folder);
    for (const char* name : {"a.wav", ".cache.wav", "Été.mp3", "Caf\xE9.wav", "sub/in.wav", ".sub/x.wav"}) {
        if (QByteArray(name).contains('/')) {
            ASSERT_EQ(::mkdir((f + QByteArray(name).split('/').front()).constData(), 0755), 0);
        }
        FILE* file = std::fopen((f + name).constData(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    ASSERT_EQ(::mkfifo((f + "pipe").constData(), 0644), 0);
    ASSERT_EQ(::symlink((f + "a.wav").constData(), (f + "to-file.wav").constData()), 0);
    ASSERT_EQ(::symlink((f + "a.wav").constData(), (f + ".hidden-link.wav").constData()), 0);
    ASSERT_EQ(::symlink((f + "sub").constData(), (f + "to-folder").constData()), 0);
    ASSERT_EQ(::symlink((f + "missing.wav").constData(), (f + "broken.wav").constData()), 0);
    ASSERT_EQ(::symlink((f + "pipe").constData(), (f + "to-pipe").constData()), 0);

    const QStringList listed = filesOf(folder, false, false);
    EXPECT_EQ(listed, qtLists(folder, QDir::Files));
    EXPECT_EQ(listed, (QStringList{QStringLiteral("a.wav"), QStringLiteral("to-file.wav"),
                                   QStringLiteral("to-pipe"), QStringLiteral("Été.mp3")}));
    const QStringList counted = filesOf(folder, true, true);
    EXPECT_EQ(counted, qtLists(folder, QDir::Files | QDir::Hidden | QDir::System));
    EXPECT_EQ(counted.size(), 8);
    EXPECT_EQ(FileCount(folder), 8);
    // The walk that counts as it goes: the folders of FolderList, each counted
    // as FileCount counts it.
    QStringList walked, subfolders;
    QList<int> counts;
    FolderListCounts(folder, walked, counts);
    FolderList(folder, 0, subfolders);
    EXPECT_EQ(walked, subfolders);
    QList<int> expected{FileCount(folder)};
    for (const QString& sub : subfolders)
        expected << FileCount(sub);
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(counts.value(0), 8);
    EXPECT_EQ(filesOf(folder, true, false), qtLists(folder, QDir::Files | QDir::Hidden));
    EXPECT_EQ(filesOf(folder, false, true), qtLists(folder, QDir::Files | QDir::System));

    // The visit stops when asked; a missing folder has no files.
    int visited = 0;
    EXPECT_TRUE(ForEachFile(folder, true, true, [&visited](const char*) { return ++visited < 2; }));
    EXPECT_EQ(visited, 2);
    EXPECT_FALSE(
        ForEachFile(folder + QStringLiteral("missing/"), true, true, [](const char*) { return true; }));
    EXPECT_EQ(FileCount(folder + QStringLiteral("missing/")), 0);

    ::unlink((f + "Caf\xE9.wav").constData()); // its own name back, for the removal of the folder
}

// The walk of the subfolders takes what Qt's listing of folders takes: hidden
// folders, not links to folders, not a folder whose name is not UTF-8; depth
// first, parents before children.
TEST(FolderList, SubfoldersAreThoseQtListsDepthFirst) {
    test::TempDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QByteArray f = QFile::encodeName(folder);
    for (const char* name : {"a", "a/b", "a/b/c", ".hidden", "d", "D\xE9mo"})
        ASSERT_EQ(::mkdir((f + name).constData(), 0755), 0);
    FILE* file = std::fopen((f + "a/file.wav").constData(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    ASSERT_EQ(::symlink((f + "a").constData(), (f + "link").constData()), 0);

    QStringList walked;
    FolderList(folder, 0, walked);
    QStringList qtWalk;
    std::function<void(const QString&)> walk = [&](const QString& at) {
        QDirIterator it(at, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
        QStringList children;
        while (it.hasNext()) {
            it.next();
            children << at + it.fileName() + QLatin1Char('/');
        }
        for (const QString& child : children) {
            qtWalk << child;
            walk(child);
        }
    };
    walk(folder);
    EXPECT_EQ(walked, qtWalk);
    walked.sort();
    EXPECT_EQ(walked, (QStringList{folder + ".hidden/", folder + "a/", folder + "a/b/", folder + "a/b/c/",
                                   folder + "d/"}));
    ::rmdir((f + "D\xE9mo").constData());
}
