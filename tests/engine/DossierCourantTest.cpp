// The folder a run goes through, held open: the date and size of its files
// are read relative to it, and every path gives what its full path gives.
#include "engine/DossierCourant.h"
#include "engine/CompareFichierEtDonnees.h"
#include "support/ManualClock.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

using namespace ks3;

namespace {

struct Lu {
    QDateTime date;
    qint64 taille = 0;
    bool operator==(const Lu&) const = default;
};

Lu lire(const QString& path) {
    Lu l;
    l.date = DateFichier(path, false);
    l.taille = TailleDernierFichier();
    return l;
}

} // namespace

TEST(DossierCourant, EveryPathReadsAsByItsFullPath) {
    test::ManualClock clock{QDateTime::currentDateTime()};
    test::TempDir dir;
    for (const char* f : {"in/a.wav", "in/sub/b.wav", "in2/c.wav", "other/in/d.wav"}) {
        dir.write(QString::fromLatin1(f), QByteArray(100 + int(qstrlen(f)), 'x'));
        ASSERT_TRUE(test::backdateFile(dir.file(QString::fromLatin1(f)), 3600));
    }
    ASSERT_TRUE(QFile::link(dir.file("in/a.wav"), dir.file("in/link.wav")));
    ASSERT_TRUE(QFile::link(dir.file("in/sub"), dir.file("in/folderlink")));
    dir.write("in/new.wav", "being written"); // too recent to be read
    // Files its owner may not read, and a file of another user.
    for (const char* f : {"in/locked.wav", "in/writeonly.wav", "in/theirs.wav"}) {
        dir.write(QString::fromLatin1(f), "sound");
        ASSERT_TRUE(test::backdateFile(dir.file(QString::fromLatin1(f)), 3600));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.file("in/locked.wav")).constData(), 0), 0);
    ASSERT_EQ(
        ::chmod(QFile::encodeName(dir.file("in/writeonly.wav")).constData(), S_IWUSR | S_IRGRP | S_IROTH), 0);
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(QFile::encodeName(dir.file("in/theirs.wav")).constData(), 65534, 65534), 0);

    // Files of the folder, of its subfolder, of folders whose path starts like
    // its own, links, what is no file, what is missing.
    const QStringList paths{dir.file("in/a.wav"),      dir.file("in/sub/b.wav"),
                            dir.file("in2/c.wav"),     dir.file("other/in/d.wav"),
                            dir.file("in/link.wav"),   dir.file("in/folderlink"),
                            dir.file("in/sub"),        dir.file("in/missing.wav"),
                            dir.file("in/new.wav"),    dir.file("in/"),
                            dir.file("in/./a.wav"),    dir.file("in//a.wav"),
                            dir.file("in/locked.wav"), dir.file("in/writeonly.wav"),
                            dir.file("in/theirs.wav")};
    QList<Lu> expected;
    for (const QString& p : paths)
        expected << lire(p);
    ASSERT_EQ(expected.at(0).taille, 108);
    ASSERT_EQ(expected.at(4).taille, 108);
    ASSERT_EQ(expected.at(7).taille, 0);
    // Not readable by its owner's bits: by root's right to read anything.
    ASSERT_EQ(expected.at(12).taille, ::geteuid() == 0 ? 5 : 0);

    for (const QString& open : {dir.file("in/"), dir.file("in")}) {
        const DossierCourant courant(open);
        for (qsizetype i = 0; i < paths.size(); ++i)
            EXPECT_EQ(lire(paths.at(i)), expected.at(i)) << paths.at(i).toStdString();
        // One at a time: the folder opened last answers, then the one before.
        {
            const DossierCourant autre(dir.file("in2/"));
            EXPECT_EQ(lire(paths.at(2)), expected.at(2));
            EXPECT_EQ(lire(paths.at(0)), expected.at(0));
        }
        EXPECT_EQ(lire(paths.at(0)), expected.at(0));
    }

    // A folder that cannot be opened leaves every path to its full path.
    const DossierCourant absent(dir.file("nowhere/"));
    EXPECT_EQ(lire(paths.at(0)), expected.at(0));
}

// Held open, the folder is the one that was listed: its files are read in it
// even when its path comes to name another folder meanwhile.
TEST(DossierCourant, FilesAreReadInTheFolderThatWasOpened) {
    test::ManualClock clock{QDateTime::currentDateTime()};
    test::TempDir dir;
    dir.write("in/a.wav", QByteArray(10, 'x'));
    dir.write("new/a.wav", QByteArray(20, 'x'));
    ASSERT_TRUE(test::backdateFile(dir.file("in/a.wav"), 3600));
    ASSERT_TRUE(test::backdateFile(dir.file("new/a.wav"), 3600));

    const DossierCourant courant(dir.file("in/"));
    ASSERT_TRUE(QDir().rename(dir.file("in"), dir.file("old")));
    ASSERT_TRUE(QDir().rename(dir.file("new"), dir.file("in")));
    EXPECT_EQ(lire(dir.file("in/a.wav")).taille, 10);
}

// The read check is left out only where the bits settle it: a file of the
// program's user that its owner may read, in the open folder.
TEST(DossierCourant, TheReadCheckIsLeftOutOnlyForTheOwnersReadableFiles) {
    test::TempDir dir;
    struct Cas {
        const char* nom;
        mode_t mode;
        bool autreUtilisateur;
        bool sansDemander;
    };
    const Cas cas[] = {
        {"own.wav", 0644, false, true},    {"ownerOnly.wav", 0400, false, true},
        {"locked.wav", 0, false, false},   {"othersOnly.wav", 0044, false, false},
        {"theirs.wav", 0644, true, false},
    };
    struct statfs fs {};
    ASSERT_EQ(::statfs(QFile::encodeName(dir.path()).constData(), &fs), 0);
    const auto type = static_cast<unsigned long>(fs.f_type);
    if (type != 0xEF53UL && type != 0x58465342UL && type != 0x9123683EUL && type != 0x01021994UL)
        GTEST_SKIP() << "the temporary folder is not on ext4, XFS, Btrfs or tmpfs";
    const DossierCourant courant(dir.path());
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QByteArray path = QFile::encodeName(dir.write(QString::fromLatin1(c.nom), "sound"));
        ASSERT_EQ(::chmod(path.constData(), c.mode), 0);
        if (c.autreUtilisateur && ::geteuid() != 0)
            continue; // only root gives a file away
        if (c.autreUtilisateur)
            ASSERT_EQ(::chown(path.constData(), 65534, 65534), 0);
        const char* name = nullptr;
        const int fd = DossierCourant::descripteur(path, name);
        ASSERT_GE(fd, 0);
        struct stat st {};
        ASSERT_EQ(::fstatat(fd, name, &st, 0), 0);
        EXPECT_EQ(DossierCourant::lisibleSansDemander(fd, st), c.sansDemander);
        // Another descriptor is not the open folder's.
        EXPECT_FALSE(DossierCourant::lisibleSansDemander(AT_FDCWD, st));
    }
}
