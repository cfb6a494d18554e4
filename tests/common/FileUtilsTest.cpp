#include "common/FileUtils.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/DiskSpace.h"
#include "platform/Text1252.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace ks3;

namespace {

// Each operation's trace lines, without their time stamp and tags; forced
// ones are those already in the day's file.
struct FileUtilsFixture : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    test::TempDir logs;
    void SetUp() override {
        resetTraceLog();
        workingFolders().logTechFolder = logs.path();
        traceLists().frmSetupCharge = true;
        TraceLogForce(traceLists().listeLog); // the header, out of the way
    }
    void TearDown() override {
        resetTraceLog();
        workingFolders().logTechFolder.clear();
    }
    static QString message(const QString& line) { return line.mid(20); }
    void clearTraces() {
        traceLists().listeLog.setStringList({});
        QFile::remove(logs.file(DateTexte(clock.now().date()) + ".Log"));
    }
    QStringList forced() const {
        QStringList out;
        const QString t = fromCp1252(test::TempDir::read(logs.file(DateTexte(clock.now().date()) + ".Log")));
        for (const QString& l : t.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            if (!l.startsWith(QLatin1String("==:")))
                out << message(l);
        return out;
    }
    QStringList waiting() const {
        QStringList out;
        for (const QString& l : traceLists().listeLog.stringList())
            out << message(l);
        return out;
    }
    static std::string str(const QStringList& l) { return l.join(QLatin1Char('\n')).toStdString(); }
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST_F(FileUtilsFixture, FileExistRules) {
    dir.write("song.wav", "data");
    dir.write("empty.wav", "");
    dir.write("odd .mp3", "data"); // a real blank before the dot
    QDir().mkpath(dir.file("folder.wav"));
    struct Case {
        QString path;
        bool nonEmpty;
        bool expected;
    } cases[] = {
        {dir.file("song.wav"), false, true},
        {"  " + dir.file("song.wav") + "  ", true, true},
        {dir.file("song .wav"), true, true},  // the blank before the dot is dropped
        {dir.file("song  .wav"), true, true}, // repeatedly
        {dir.file("odd .mp3"), true, true},   // cleaned form missing: the trimmed form is tried
        {dir.file("empty.wav"), false, true},
        {dir.file("empty.wav"), true, false},
        {dir.file("missing.wav"), false, false},
        {dir.file("folder.wav"), false, false},
        {dir.file("*.wav"), false, false}, // no wildcard
        {"   ", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(File_Exist(c.path, "Test:Case", c.nonEmpty), c.expected) << c.path.toStdString();
    EXPECT_TRUE(waiting().isEmpty());
}

TEST_F(FileUtilsFixture, FileSize) {
    EXPECT_EQ(TailleDuFichier(dir.write("five", "12345")), 5);
    EXPECT_EQ(TailleDuFichier(dir.file("missing")), -1);
    EXPECT_EQ(TailleDuFichier(dir.path()), -1);
    // Beyond 4 GiB the size is whole (a sparse file takes no room).
    const QString big = dir.write("big", "");
    ASSERT_EQ(::truncate(QFile::encodeName(big).constData(), 5'000'000'000LL), 0);
    EXPECT_EQ(TailleDuFichier(big), 5'000'000'000LL);
    EXPECT_TRUE(File_Exist(big, QString(), true));
}

TEST_F(FileUtilsFixture, CopyRefusesMissingAndEmptySources) {
    const QString empty = dir.write("empty.wav", "");
    struct Case {
        QString source;
        QStringList lines;
    } cases[] = {
        {"  ", {"Warning: File_Copy: File name null"}},
        {dir.file("missing.wav"), {"Warning: File_Copy: File not found: " + dir.file("missing.wav")}},
        {empty, {"Warning: File_Copy: File not found: " + empty}},
        {dir.file("missing.gpx"), {}},
        {dir.file("MISSING.GPX"), {}},
    };
    for (const Case& c : cases) {
        clearTraces();
        EXPECT_FALSE(File_Copy(c.source, dir.file("target.wav")));
        EXPECT_EQ(str(waiting()), str(c.lines));
        EXPECT_FALSE(QFile::exists(dir.file("target.wav")));
    }
    EXPECT_TRUE(forced().isEmpty());
}

TEST_F(FileUtilsFixture, CopyWritesTheWholeTargetWithTheSourceDate) {
    QByteArray data(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    const QString source = dir.write("in/source.wav", data);
    const timeval times[2] = {{1000000000, 0}, {1234567890, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(source).constData(), times), 0);
    dir.write("out/deep/target.wav", "old content");

    EXPECT_TRUE(File_Copy(source, dir.file("out/deep/target.wav")));
    EXPECT_EQ(test::TempDir::read(dir.file("out/deep/target.wav")), data);
    EXPECT_EQ(QFileInfo(dir.file("out/deep/target.wav")).lastModified().toSecsSinceEpoch(), 1234567890);
    // Into missing folders, and into an existing folder under the source's name.
    EXPECT_TRUE(File_Copy(source, dir.file("new/a/b/copy.wav")));
    EXPECT_EQ(test::TempDir::read(dir.file("new/a/b/copy.wav")), data);
    EXPECT_TRUE(File_Copy(source, dir.file("out")));
    EXPECT_EQ(test::TempDir::read(dir.file("out/source.wav")), data);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.file("out/deep")).entryList(QDir::Files | QDir::Hidden), QStringList{"target.wav"});
    EXPECT_TRUE(waiting().isEmpty());
}

TEST_F(FileUtilsFixture, CopyToAFolderThatCannotExist) {
    const QString source = dir.write("source.wav", "data");
    dir.write("plain-file", "x");
    const QString target = dir.file("plain-file/sub/target.wav");
    EXPECT_FALSE(File_Copy(source, target));
    EXPECT_EQ(str(forced()),
              str({"File_Copy: Err: 53 |Folder not found. Source: " + source + "  Target: " + target}));
    ASSERT_EQ(waiting().size(), 1);
    const QString root = MountPointOf(target);
    EXPECT_TRUE(waiting().first().startsWith("Free space for " + root + ": "))
        << waiting().first().toStdString();
    EXPECT_TRUE(waiting().first().endsWith("o")); // a unit: Octets, Ko, Mo...

    // A network target: no folder made on this disk, and no free-space line.
    clearTraces();
    EXPECT_FALSE(File_Copy(source, "//server/share/ks3-never/target.wav"));
    EXPECT_TRUE(waiting().isEmpty());
    EXPECT_FALSE(QFileInfo::exists("/server/share/ks3-never"));
}

TEST_F(FileUtilsFixture, FailureTextsOfEachCode) {
    struct Case {
        int code;
        const char* copy;
        const char* rename;
        bool renameForced;
    } cases[] = {
        {53, " |Folder not found. Source: ", " |Source: ", true},
        {32, " |File in use. Source: ", " |File in use: Source: ", true},
        {1026, " |Source file missing. Source: ", " |Source file missing: ", false},
        {1223, " |Cancelled. Source: ", " |Cancelled: Source: ", false},
        {14, " |Out of memory. Source: ", " |Source: ", true},
        {183, " |Source: ", " |Target file already exists: Source: ", true},
        {10013, " |Source: ", " |Source: ", true},
    };
    for (const Case& c : cases) {
        const QString n = QString::number(c.code);
        const LigneTraceFichier copy = LigneErreurFileCopy(c.code, "/a/s.wav", "/b/t.wav");
        EXPECT_EQ(copy.texte, "File_Copy: Err: " + n + c.copy + "/a/s.wav  Target: /b/t.wav");
        EXPECT_TRUE(copy.forcee);
        const LigneTraceFichier rename = LigneErreurFileRename(c.code, "/a/s.wav", "/b/t.wav", "M:P");
        EXPECT_EQ(rename.texte, "File_Rename: Err: " + n + c.rename + "/a/s.wav |Target: /b/t.wav |Sub: M:P");
        EXPECT_EQ(rename.forcee, c.renameForced) << c.code;
    }
    struct DeleteCase {
        int code;
        const char* text;
        bool forced;
    } deletes[] = {
        {2, "File_Delete: Warning: 2 |File not found: /a/x |Sub: M:P>Lib_Systeme:File_Delete", false},
        {32, "File_Delete: Warning: 32 |File in use: /a/x |Sub: M:P>Lib_Systeme:File_Delete", false},
        {1026, "File_Delete: Err: 1026 |Source file missing: /a/x |Sub: M:P>Lib_Systeme:File_Delete", false},
        {1223, "File_Delete: Warning: 1223 |Cancelled: File: /a/x |Sub: M:P>Lib_Systeme:File_Delete", false},
        {53, "File_Delete: Err: 53 |/a/x |Sub: M:P>Lib_Systeme:File_Delete", true},
    };
    for (const DeleteCase& c : deletes) {
        const LigneTraceFichier l = LigneErreurFileDelete(c.code, "/a/x", "M:P");
        EXPECT_EQ(l.texte, QString::fromLatin1(c.text));
        EXPECT_EQ(l.forcee, c.forced) << c.code;
    }
}

TEST_F(FileUtilsFixture, Delete) {
    const QString file = dir.write("gone.wav", "x");
    EXPECT_TRUE(File_Delete(file, "Lib_Public:DeleteFile"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(File_Delete(file, "Lib_Public:DeleteFile"));
    EXPECT_FALSE(File_Delete(" ", "Lib_Public:DeleteFile"));
    EXPECT_EQ(
        str(waiting()),
        str({"File_Delete: Warning: 2 |File not found: " + file +
                 " |Sub: Lib_Public:DeleteFile>Lib_Systeme:File_Delete",
             "Warning: File_Delete: File name null |Sub: Lib_Public:DeleteFile>Lib_Systeme:File_Delete"}));
    // A folder is never deleted: a forced error.
    QDir().mkpath(dir.file("keep"));
    EXPECT_FALSE(File_Delete(dir.file("keep"), "M:P"));
    EXPECT_TRUE(QFileInfo(dir.file("keep")).isDir());
    ASSERT_EQ(forced().size(), 3); // the two waiting lines went with it
    EXPECT_TRUE(forced().last().startsWith("File_Delete: Err: 10021 |" + dir.file("keep") + " |Sub: M:P>"));
}

TEST_F(FileUtilsFixture, RenameNeverReplacesATarget) {
    const QString source = dir.write("a.mp3", "source");
    const QString target = dir.write("a.wav", "target");
    EXPECT_FALSE(File_Rename(source, target, 0, 0, "Engine:Convert"));
    EXPECT_EQ(test::TempDir::read(source), "source");
    EXPECT_EQ(test::TempDir::read(target), "target");
    EXPECT_EQ(str(forced()), str({"File_Rename: Err: 183 |Target file already exists: Source: " + source +
                                  " |Target: " + target + " |Sub: Engine:Convert"}));

    const QString moved = dir.file("b.wav");
    EXPECT_TRUE(File_Rename(source, moved, 0, 0, "Engine:Convert"));
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_EQ(test::TempDir::read(moved), "source");
    EXPECT_TRUE(waiting().isEmpty());
}

TEST_F(FileUtilsFixture, RenameRefusals) {
    const QString empty = dir.write("empty.mp3", "");
    const QString source = dir.write("s.mp3", "x");
    const QString lost = dir.file("no/such/folder/t.mp3");
    struct Case {
        QString source, target;
        QStringList waiting, forced;
    } cases[] = {
        {" ", "/t", {"Warning: File_Rename: File name null |Sub: C:P"}, {}},
        {empty, "/t", {"Warning: File_Rename: File not found: " + empty + " |Sub: C:P"}, {}},
        {dir.file("m.Gpx"), "/t", {}, {}},
        {source, lost, {}, {"File_Rename: Err: 53 |Source: " + source + " |Target: " + lost + " |Sub: C:P"}},
    };
    for (const Case& c : cases) {
        clearTraces();
        EXPECT_FALSE(File_Rename(c.source, c.target, 0, 0, "C:P"));
        EXPECT_EQ(str(waiting()), str(c.waiting));
        EXPECT_EQ(str(forced()), str(c.forced));
    }
    EXPECT_TRUE(QFile::exists(source));
}

TEST_F(FileUtilsFixture, RemoveFlagClearsOnlyReadOnly) {
    const QString ro = dir.write("ro.wav", "x");
    ::chmod(QFile::encodeName(ro).constData(), 0444);
    EXPECT_EQ(FileAttributes(ro) & kAttrReadOnly, kAttrReadOnly);
    File_RemoveFlag(ro, kAttrHidden | kAttrArchive); // not asked for read-only
    EXPECT_EQ(modeOf(ro), 0444u);
    File_RemoveFlag(ro, kAttrReadOnly);
    EXPECT_EQ(modeOf(ro), 0644u);

    const QString rw = dir.write("rw.wav", "x");
    ::chmod(QFile::encodeName(rw).constData(), 0640);
    File_RemoveFlag(rw, kAttrReadOnly);
    EXPECT_EQ(modeOf(rw), 0640u);

    const QString empty = dir.write("empty.wav", "");
    File_RemoveFlag(empty, kAttrReadOnly);
    File_RemoveFlag("", kAttrReadOnly);
    EXPECT_EQ(str(waiting()), str({"Warning: File_RemoveFlag: File not found: " + empty}));
}

TEST(FileUtilsText, LibSize) {
    const double k = 1024;
    struct Case {
        double bytes;
        const char* text;
    } cases[] = {
        {0, "0,00 Octets"},
        {1023, "1 023,00 Octets"},
        {1024, "1,00 Ko"},
        {1536, "1,50 Ko"},
        {1048576, "1,00 Mo"},
        {1048575, "1 024,00 Ko"}, // just below 1 Mo: 1023.999 Ko with two decimals
        {5.25 * k * k * k, "5,25 Go"},
        {1000.0 * k * k * k * k, "1 000,00 To"},
        {k * k * k * k * k * k * k * k, "1,00 Yo"},
        {k * k * k * k * k * k * k * k * k, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibSize(c.bytes), QString::fromLatin1(c.text)) << c.bytes;
}

TEST(FileUtilsText, FreeSpace) {
    test::TempDir dir;
    EXPECT_EQ(EspaceLibreDisque("  "), 0);
    EXPECT_GT(EspaceLibreDisque(dir.path()), 0);
    EXPECT_EQ(EspaceLibreDisque(dir.file("missing/")), 0);
}
