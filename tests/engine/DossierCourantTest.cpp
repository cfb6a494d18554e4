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

    // Files of the folder, of its subfolder, of folders whose path starts like
    // its own, links, what is no file, what is missing.
    const QStringList paths{dir.file("in/a.wav"),    dir.file("in/sub/b.wav"),
                            dir.file("in2/c.wav"),   dir.file("other/in/d.wav"),
                            dir.file("in/link.wav"), dir.file("in/folderlink"),
                            dir.file("in/sub"),      dir.file("in/missing.wav"),
                            dir.file("in/new.wav"),  dir.file("in/"),
                            dir.file("in/./a.wav"),  dir.file("in//a.wav")};
    QList<Lu> expected;
    for (const QString& p : paths)
        expected << lire(p);
    ASSERT_EQ(expected.at(0).taille, 108);
    ASSERT_EQ(expected.at(4).taille, 108);
    ASSERT_EQ(expected.at(7).taille, 0);

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
