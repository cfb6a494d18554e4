#include "common/DataRoot.h"
#include "common/ProgramFolders.h"
#include "common/ProgramValues.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace ks3;

TEST(DataRoot, ProgramFolderWhenWritableElseStateDirectoryElseXdgDataHome) {
    struct Case {
        const char* what;
        DataRootFacts facts;
        const char* expected;
    } cases[] = {
        {"writable program folder",
         {"/home/ann/ks3/bin/", true, "", "/home/ann/xdg", "/home/ann"},
         "/home/ann/ks3/bin/"},
        {"writable program folder wins over systemd's",
         {"/opt/ks3", true, "/var/lib/ks3", "", "/home/ann"},
         "/opt/ks3/"},
        {"read-only folder, service with a state directory",
         {"/opt/ks3/", false, "/var/lib/kestrel-tools-convert/kestrel", "/x", "/home/k"},
         "/var/lib/kestrel-tools-convert/kestrel/"},
        {"several state directories: the first",
         {"/opt/ks3/", false, "/var/lib/a:/var/lib/b", "", "/home/k"},
         "/var/lib/a/"},
        {"read-only folder without a state directory",
         {"/opt/ks3/", false, "", "/home/ann/data", "/home/ann"},
         "/home/ann/data/Kestrel/"},
        {"XDG_DATA_HOME unset", {"/opt/ks3/", false, "", "", "/home/ann"}, "/home/ann/.local/share/Kestrel/"},
        {"relative XDG_DATA_HOME is ignored",
         {"/opt/ks3/", false, "", "data", "/home/ann/"},
         "/home/ann/.local/share/Kestrel/"},
        {"a package's folder under /usr, even writable by root",
         {"/usr/lib/kestrel-tools-convert/", true, "", "", "/root"},
         "/root/.local/share/Kestrel/"},
        {"a folder whose name only begins like /usr",
         {"/usrdata/ks3/", true, "", "", "/root"},
         "/usrdata/ks3/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dataRoot(c.facts), QString::fromUtf8(c.expected)) << c.what;
}

TEST(DataRoot, FactsComeFromTheEnvironmentAndTheDisk) {
    test::TempDir dir;
    QDir().mkpath(dir.file("ro"));
    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray oldState = qgetenv("STATE_DIRECTORY"), oldXdg = qgetenv("XDG_DATA_HOME"),
                     oldHome = qgetenv("HOME");
    qputenv("STATE_DIRECTORY", "/var/lib/ks3");
    qunsetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(dir.file("home")));

    const DataRootFacts writable = dataRootFactsOf(dir.path());
    EXPECT_TRUE(writable.programFolderWritable);
    EXPECT_EQ(writable.stateDirectory, QStringLiteral("/var/lib/ks3"));
    EXPECT_TRUE(writable.xdgDataHome.isEmpty());
    EXPECT_EQ(writable.home, dir.file("home"));
    EXPECT_FALSE(dataRootFactsOf(dir.file("missing/")).programFolderWritable);
    // Root may write into any folder of a writable file system.
    EXPECT_EQ(folderWritable(dir.file("ro")), ::geteuid() == 0);
    // Without HOME, the account's home folder.
    qunsetenv("HOME");
    EXPECT_FALSE(dataRootFactsOf(dir.path()).home.isEmpty());

    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("STATE_DIRECTORY", oldState);
    qputenv("XDG_DATA_HOME", oldXdg);
    qputenv("HOME", oldHome);
    if (oldState.isNull())
        qunsetenv("STATE_DIRECTORY");
    if (oldXdg.isNull())
        qunsetenv("XDG_DATA_HOME");
}

TEST(ProgramFolders, ProgramFolderIsTheRealExecutablesThroughALink) {
    test::TempDir dir;
    dir.write("lib/ks3/KS3_Tools_Convert", "program");
    QDir().mkpath(dir.file("bin"));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("../lib/ks3/KS3_Tools_Convert"), dir.file("bin/KS3_Tools_Convert")));
    const ProgramValues saved = programValues();
    DeterminerDossiersProgramme(dir.file("bin/KS3_Tools_Convert"));
    const QString real = QDir(dir.file("lib/ks3")).canonicalPath() + QLatin1Char('/');
    EXPECT_EQ(programValues().dossierProgramme, real);
    // A folder of the user's: the data stay beside the program, as before.
    EXPECT_EQ(DossierDonnees(), real);
    programValues() = saved;
}
