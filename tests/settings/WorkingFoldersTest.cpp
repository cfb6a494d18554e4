#include "common/WorkingFolders.h"
#include "common/ComputerName.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "platform/DiskShares.h"
#include "settings/FolderTools.h"
#include "settings/SettingsFile.h"
#include "settings/WorkingFoldersStart.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

// A program folder of its own, the suite's files written in it, and the trace
// lines kept in the list of the lines traced before the options window loads.
struct FoldersFixture : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    QString prog;
    void SetUp() override {
        resetTraceLog();
        resetFolderTools();
        prog = dir.file("prog/");
        QDir().mkpath(prog);
        programValues().dossierProgramme = prog;
        programValues().noInstance = 0;
        workingFolders() = WorkingFolders{};
        DossierSettings().clear();
        setSambaConfigPath(dir.file("no-samba/smb.conf"));
    }
    void TearDown() override {
        resetTraceLog();
        resetFolderTools();
        workingFolders() = WorkingFolders{};
        programValues().dossierProgramme.clear();
        programValues().noInstance = 0;
        DossierSettings().clear();
        setSambaConfigPath(QStringLiteral("/etc/samba/smb.conf"));
    }
    QStringList traces() const {
        QStringList out;
        for (const QString& l : traceLists().listeLogTemp.stringList())
            out << l.mid(20);
        return out;
    }
    static std::string str(const QStringList& l) { return l.join(QLatin1Char('\n')).toStdString(); }
    // BW_SYS.ini of the configuration folder of base 1 (the default one).
    void bwSys(const QByteArray& text) { dir.write("prog/Config/BW_SYS.ini", text); }
    void start() {
        DemarrageDossiersOptions();
        traceLists().listeLogTemp.setStringList({});
        InitGeneralDossiers(0);
    }
    static bool isDir(const QString& p) { return QFileInfo(p).isDir(); }
};

} // namespace

TEST_F(FoldersFixture, EverythingDefaultsUnderTheProgramFolder) {
    start();
    const WorkingFolders& w = workingFolders();
    EXPECT_EQ(w.dossierConfigGlobal, prog + "Config/");
    EXPECT_EQ(w.repPrg, prog);
    EXPECT_EQ(w.localFolder, prog);
    EXPECT_EQ(w.localIniFolder, prog + "Serveur_Ini/Tools_Data/00/");
    EXPECT_EQ(w.dataFolder, prog + "BTRieve/Data/");
    EXPECT_EQ(w.localDataFolder, prog + "KS_Data/Data/");
    EXPECT_EQ(w.logTechFolder, prog + "RirozIze/Histo_KS3_Tools_Convert/");
    EXPECT_EQ(w.folderShared, prog);
    EXPECT_EQ(w.nbStation, 1);
    EXPECT_EQ(str(traces()), str({"Local_Folder: " + prog, "Local_INI_Folder: " + w.localIniFolder,
                                  "Data_Folder: " + w.dataFolder, "Local_Data_Folder: " + w.localDataFolder,
                                  "Log_Tech_Folder: " + w.logTechFolder, "Folder_Shared: " + prog}));
    EXPECT_TRUE(isDir(w.localIniFolder));
    EXPECT_TRUE(isDir(w.localDataFolder));
    EXPECT_TRUE(isDir(w.logTechFolder));
    EXPECT_FALSE(QFileInfo::exists(w.dataFolder)); // the suite's, not created here
}

TEST_F(FoldersFixture, InstanceTwoHasFoldersOfItsOwn) {
    programValues().noInstance = 2;
    bwSys("[Repertoires]\r\nREPLOG=" + dir.file("logs").toUtf8() +
          "\r\nREPLOCAL=" + dir.file("local/").toUtf8() + "\r\n");
    dir.write("local/KS3_Tools_Data_Local.ini",
              "[Local_Folder]\r\nZone_0=" + dir.file("zone0/").toUtf8() + "\r\n");
    start();
    const WorkingFolders& w = workingFolders();
    EXPECT_EQ(w.logTechFolder, dir.file("logs/Histo_KS3_Tools_Convert/Instance_2/"));
    EXPECT_EQ(w.localIniFolder, dir.file("local/Serveur_Ini/Tools_Data/00_Instance_2/"));
    EXPECT_EQ(w.localDataFolder, dir.file("zone0/"));
    EXPECT_TRUE(isDir(w.logTechFolder));
    EXPECT_TRUE(isDir(w.localIniFolder));
}

TEST_F(FoldersFixture, OnlyAnExactOnSelectsTheNetworkSection) {
    struct Case {
        QByteArray unc;
        bool network;
    } cases[] = {{"REPLOG=ON", true},   {"REPLOG=on", false}, {"REPLOG=On", false},
                 {"REPLOG=0FF", false}, {"REPBTR=ON", false}, {"", false}};
    for (const Case& c : cases) {
        bwSys("[UNC_Actif]\r\n" + c.unc + "\r\n[Repertoires]\r\nREPLOG=" + dir.file("local-logs/").toUtf8() +
              "\r\n[Repertoires_UNC]\r\nREPLOG=" + dir.file("unc-logs/").toUtf8() + "\r\n");
        workingFolders() = WorkingFolders{};
        start();
        EXPECT_EQ(workingFolders().logTechFolder,
                  dir.file(c.network ? "unc-logs/" : "local-logs/") + "Histo_KS3_Tools_Convert/")
            << c.unc.constData();
    }
}

TEST_F(FoldersFixture, ConfigurationLocation) {
    const QString config = DetermineDossierConfig();
    EXPECT_EQ(config, prog + "Settings/KS3_Config.ini");
    EXPECT_EQ(DetermineDossierConfig_Bases_Nombre(config), 1);
    EXPECT_EQ(DetermineDossierConfig_Bases_Libelle(config, 3), "Base 03");
    EXPECT_EQ(DetermineDossierConfig_Fichier(config, 1), prog + "Config/");
    EXPECT_EQ(str(traces()),
              str({"Dossier_Config_Global: :A", "Dossier_Config_Global: " + prog + "Config/:B"}));

    dir.write("prog/Settings/KS3_Config.ini",
              "[Sites]\r\nNbBase=2\r\n[Base_01]\r\nDossier_Config_Global=" + dir.file("base1").toUtf8() +
                  "\r\n[Base_02]\r\nLib=Studio B\r\n");
    traceLists().listeLogTemp.setStringList({});
    EXPECT_EQ(DetermineDossierConfig_Bases_Nombre(config), 2);
    EXPECT_EQ(DetermineDossierConfig_Bases_Libelle(config, 2), "Studio B");
    EXPECT_EQ(DetermineDossierConfig_Fichier(config, 1), dir.file("base1/"));

    // The folder common to all bases wins, and gets its "/".
    dir.write("prog/Settings/KS3_Config.ini",
              "[Site]\r\nDossier_Config_Global=" + dir.file("common").toUtf8() + "\r\n");
    traceLists().listeLogTemp.setStringList({});
    EXPECT_EQ(DetermineDossierConfig_Fichier(config, 1), dir.file("common/"));
    EXPECT_EQ(str(traces()), str({"Dossier_Config_Global: " + dir.file("common") + ":A"}));

    // Its KS3_Systeme.ini gives the number of stations.
    dir.write("common/KS3_Systeme.ini", "[Base_01]\r\nNbStation=3\r\n");
    DemarrageDossiersOptions();
    EXPECT_EQ(workingFolders().dossierConfigGlobal, dir.file("common/"));
    EXPECT_EQ(workingFolders().nbStation, 3);
}

TEST_F(FoldersFixture, ASharedFolderOfThisComputerBecomesItsLocalPath) {
    const QString host = ComputerName();
    QDir().mkpath(dir.file("srv/music/jingles"));
    dir.write("samba/smb.conf", "[global]\n   workgroup = STATION\n[printers]\n   path = /var/spool/samba\n"
                                "   printable = yes\n[Music]\n   path = " +
                                    dir.file("srv/music/").toUtf8() + "\n   read only = no\n");
    setSambaConfigPath(dir.file("samba/smb.conf"));
    const QString unc = "//" + host.toUpper() + "/music/jingles/";
    bwSys("[Repertoires]\r\nREPPARTAGE=" + unc.toUtf8() + "\r\n");
    start();
    const QString local = dir.file("srv/music/jingles/");
    EXPECT_EQ(workingFolders().folderShared, local);
    const QStringList t = traces();
    EXPECT_TRUE(t.contains("Shared Paths List |UNC Path to Change: " + unc));
    EXPECT_TRUE(t.contains("00: UNC: Local Path found: " + local));
    EXPECT_TRUE(t.contains("00: UNC: Path change from: " + unc + " to: " + local));

    // Another computer's share is left alone, and nothing is made for it on this disk.
    workingFolders() = WorkingFolders{};
    bwSys("[Repertoires]\r\nREPPARTAGE=//ks3-other-host/music/jingles/\r\n");
    start();
    EXPECT_EQ(workingFolders().folderShared, "//ks3-other-host/music/jingles/");
    EXPECT_FALSE(QFileInfo::exists("/ks3-other-host"));
}

TEST_F(FoldersFixture, ShareMappingRules) {
    dir.write("plain-file", "x");
    dir.write("samba/smb.conf", "[pool]\npath = " + dir.file("plain-file/pool").toUtf8() +
                                    "\n[root]\npath = " + dir.file("srv/").toUtf8() + "\n");
    setSambaConfigPath(dir.file("samba/smb.conf"));
    // The share's folder cannot exist: the path is kept.
    EXPECT_EQ(ChangeUNCFolder2LocalFolder(0, "//host/pool/a/", "host"), "//host/pool/a/");
    // A share given with its "/" leaves no doubled separator.
    EXPECT_EQ(ChangeUNCFolder2LocalFolder(0, "//HOST/Root/a/", "host"), dir.file("srv/a/"));
    // A name that only begins like a share is no match.
    EXPECT_EQ(ChangeUNCFolder2LocalFolder(0, "//host/rooted/a/", "host"), "//host/rooted/a/");
}

TEST_F(FoldersFixture, CleaningOfPaths) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"/srv/a/../b%c*d/", "/srv/a//bc d/"},
        {"/srv/x...y/", "/srv/xy/"},
        {"/srv/a\\b?c/", "/srv/a b c/"},
        {"/srv/a:b/", "/srv/a b/"},
        {"/srv/a<>|b/", "/srv/a b/"},
        {"/srv/a <>| b/", "/srv/a   b/"}, // one pass: five blanks leave three
        {"  /srv/name /sub  /  ", "/srv/name/sub/"},
        {"C:x", "C:x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NettoieChemin(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST_F(FoldersFixture, CreationCleansThePathFirst) {
    VerificationEtCreationRepertoire(dir.file("a/../b%c*d"), true);
    EXPECT_TRUE(isDir(dir.file("a/bc d")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("b%c*d")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"a", "prog"}));
    EXPECT_TRUE(traces().isEmpty());
}

TEST_F(FoldersFixture, AFolderThatCannotBeMadeIsReportedOnce) {
    dir.write("plain-file", "x");
    VerificationEtCreationRepertoire(dir.file("plain-file/one/two"), true);
    VerificationEtCreationRepertoire(dir.file("plain-file/one/three"), true);
    VerificationEtCreationRepertoire(dir.file("plain-file/$share/x"), true);
    EXPECT_EQ(str(traces()), str({"Folder '" + dir.file("plain-file/") + "' not found"}));
    resetFolderTools();
    VerificationEtCreationRepertoire(dir.file("plain-file/one"), false);
    EXPECT_TRUE(traces().size() == 1);

    // A network path: the server is no level and nothing is created.
    resetFolderTools();
    traceLists().listeLogTemp.setStringList({});
    VerificationEtCreationRepertoire("//ks3-server/share/dir", true);
    EXPECT_FALSE(QFileInfo::exists("/ks3-server"));
    EXPECT_EQ(str(traces()), str({"Folder '//ks3-server/share/' not found"}));
}

TEST_F(FoldersFixture, FolderFoundAsksTheDiskOncePerPath) {
    dir.write("plain-file", "x");
    QString missing = dir.file("plain-file/sub/");
    EXPECT_FALSE(FolderFound(missing, false));
    const int checks = folderDiskChecks();
    // Even once the folder could exist, the answer stands.
    QFile::remove(dir.file("plain-file"));
    QDir().mkpath(missing);
    EXPECT_FALSE(FolderFound(missing, false));
    EXPECT_EQ(folderDiskChecks(), checks);

    QString present = dir.file("prog/");
    EXPECT_TRUE(FolderFound(present, false));
    const int after = folderDiskChecks();
    EXPECT_TRUE(FolderFound(present, false));
    EXPECT_EQ(folderDiskChecks(), after);
    // Part of a found path is no found path.
    QString part = dir.file("pro");
    EXPECT_TRUE(FolderFound(part, false)); // made on the spot
    EXPECT_GT(folderDiskChecks(), after);

    // A missing folder that can be made is made.
    QString fresh = dir.file("fresh/deep");
    EXPECT_TRUE(FolderFound(fresh, false));
    EXPECT_TRUE(isDir(fresh));
}

TEST_F(FoldersFixture, FolderFoundFallsBackToTheDefaultConfiguration) {
    dir.write("plain-file", "x");
    QString path = dir.file("plain-file/config/");
    EXPECT_TRUE(FolderFound(path, true));
    EXPECT_EQ(path, prog + "Brightwell/Kestrel/Config/");
    EXPECT_TRUE(isDir(path));
    QString network = "//ks3-server/config/";
    EXPECT_FALSE(FolderFound(network, true));
    EXPECT_EQ(network, "//ks3-server/config/");
}
