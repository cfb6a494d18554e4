#include "platform/FileOperationCodes.h"
#include "platform/ShellFileOperation.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace ks3;

TEST(FileOperationCodes, ErrnoMapping) {
    const std::pair<int, int> cases[] = {
        {0, 0},
        {ENOENT, 2},
        {EBUSY, 32},
        {ETXTBSY, 32},
        {ENOTDIR, 53},
        {EEXIST, 183},
        {ENOTEMPTY, 183},
        {ENOMEM, 14},
        {ECANCELED, 1223},
        {EACCES, 10000 + EACCES},
        {ENOSPC, 10000 + ENOSPC},
        {EISDIR, 10000 + EISDIR},
    };
    for (const auto& [e, code] : cases)
        EXPECT_EQ(FileOperationCode(e), code) << e;

    test::TempDir dir;
    EXPECT_EQ(FileOperationCodeFor(ENOENT, dir.file("missing.wav")), fileop::FileNotFound);
    EXPECT_EQ(FileOperationCodeFor(ENOENT, dir.file("nowhere/missing.wav")), fileop::FolderNotFound);
}

TEST(ShellFileOperation, MakeFolderPath) {
    test::TempDir dir;
    EXPECT_EQ(MakeFolderPath(dir.file("a//b/c/")), 0);
    EXPECT_TRUE(QFileInfo(dir.file("a/b/c")).isDir());
    dir.write("file", "x");
    EXPECT_EQ(MakeFolderPath(dir.file("file/sub")), ENOTDIR);
    EXPECT_EQ(MakeFolderPath("//server/share/ks3-never"), ENOENT);
    EXPECT_FALSE(QFileInfo::exists("/server"));
}

TEST(ShellFileOperation, MoveAcrossFileSystems) {
    // /dev/shm is a tmpfs of its own on most machines.
    test::TempDir dir;
    struct stat a {
    }, b{};
    if (::stat("/dev/shm", &b) != 0 || ::stat(QFile::encodeName(dir.path()).constData(), &a) != 0 ||
        a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system to move to";
    const QString source = dir.write("move.wav", "moved bytes");
    const QString target = QStringLiteral("/dev/shm/ks3-move-%1.wav").arg(::getpid());
    ASSERT_EQ(ShellRenameFile(source, target), 0);
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(test::TempDir::read(target), "moved bytes");
    const QString back = dir.write("back.wav", "kept");
    EXPECT_EQ(ShellRenameFile(target, back), fileop::TargetExists);
    EXPECT_EQ(test::TempDir::read(back), "kept");
    QFile::remove(target);
}
