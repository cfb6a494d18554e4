#include "platform/IniFile.h"
#include "platform/NomFichier.h"
#include "platform/Text1252.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(LectureIni, ReadsAsTheProfileFunctionsDo) {
    test::TempDir dir;
    const QString file = dir.write("a.ini", "; comment=ignored\n"
                                            "[Dossiers]\r\n"
                                            "  Source_0 =  /srv/in/  \r\n"
                                            "Frequence=\r\n"
                                            "Lib=UDP In #1\n"
                                            "[  Effet_Cut ]\n"
                                            "SeuildB=-50\n"
                                            "NoEqualSign\n"
                                            ";Debut=1\n"
                                            "[Dossiers]\n"
                                            "Cible_0=/second/section/is/not/read/\n"
                                            "[Long]\n"
                                            "V=" +
                                                QByteArray(300, 'x') +
                                                "\n"
                                                "[Accents]\r\n"
                                                "Texte=Fr\xe9quence d'analyse \x80\r\n"
                                                "[Last]\n"
                                                "K=no line end");
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    } cases[] = {
        {"Dossiers", "Source_0", "/srv/in/"},
        {"DOSSIERS", "source_0", "/srv/in/"},
        {" dossiers ", " Source_0 ", "/srv/in/"},
        {"Dossiers", "Frequence", ""},    // present and empty: not the default
        {"Dossiers", "Lib", "UDP In #1"}, // LF-only line
        {"effet_cut", "SeuildB", "-50"},  // header with blanks inside the brackets
        {"Effet_Cut", "Debut", "<def>"},  // commented out
        {"Effet_Cut", "NoEqualSign", "<def>"},
        {"Dossiers", "Cible_0", "<def>"}, // only the first section of a name counts
        {"Long", "V", QString(kLectureIniMax, QLatin1Char('x'))},
        {"Accents", "Texte", s("Fréquence d'analyse €")},
        {"Last", "K", "no line end"},
        {"Missing", "K", "<def>"},
        {"Dossiers", "Missing", "<def>"},
        {"", "Source_0", "<def>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "." + c.key);
        EXPECT_EQ(LectureIni(file, c.section, c.key, "<def>"), c.expected);
    }
    EXPECT_EQ(LectureIni(dir.file("missing.ini"), "Dossiers", "Source_0", "<def>"), "<def>");
}

TEST(EcritureIni, CreatesTheFileAndSectionWithCrLf) {
    test::TempDir dir;
    const QString file = dir.file("new.ini");
    ASSERT_TRUE(EcritureIni(file, "Dossiers", "Frequence", "5"));
    ASSERT_TRUE(EcritureIni(file, "Dossiers", "Source_0", s("/srv/Fréquence/")));
    ASSERT_TRUE(EcritureIni(file, "UDP_IN", "Port_0", "96"));
    EXPECT_EQ(test::TempDir::read(file),
              QByteArray("[Dossiers]\r\nFrequence=5\r\nSource_0=/srv/Fr\xe9quence/\r\n"
                         "[UDP_IN]\r\nPort_0=96\r\n"));
    EXPECT_EQ(LectureIni(file, "dossiers", "SOURCE_0"), s("/srv/Fréquence/"));
}

TEST(EcritureIni, KeepsEveryOtherLineByteForByte) {
    test::TempDir dir;
    const QByteArray before = "; written by hand\n"
                              "[Other]\r\n"
                              "Key = kept as is   \r\n"
                              "\r\n"
                              "[Dossiers]\n"
                              "Source_0=old\n"
                              "; a note\n"
                              "Cible_0=/t/\n"
                              "\n"
                              "[Tail]\n"
                              "X=\xe9t\xe9";
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    } cases[] = {
        {"replace, other case", "DOSSIERS", "source_0", "new",
         "; written by hand\n[Other]\r\nKey = kept as is   \r\n\r\n[Dossiers]\nsource_0=new\r\n; a note\n"
         "Cible_0=/t/\n\n[Tail]\nX=\xe9t\xe9"},
        {"new key after the section's last key", "Dossiers", "Source_1", "/s1/",
         "; written by hand\n[Other]\r\nKey = kept as is   \r\n\r\n[Dossiers]\nSource_0=old\n; a note\n"
         "Cible_0=/t/\nSource_1=/s1/\r\n\n[Tail]\nX=\xe9t\xe9"},
        {"new key in a last section without line end", "Tail", "Y", "1",
         "; written by hand\n[Other]\r\nKey = kept as is   \r\n\r\n[Dossiers]\nSource_0=old\n; a note\n"
         "Cible_0=/t/\n\n[Tail]\nX=\xe9t\xe9\r\nY=1\r\n"},
        {"new section", "Effet_EQ", "Bande_0", "-12",
         "; written by hand\n[Other]\r\nKey = kept as is   \r\n\r\n[Dossiers]\nSource_0=old\n; a note\n"
         "Cible_0=/t/\n\n[Tail]\nX=\xe9t\xe9\r\n[Effet_EQ]\r\nBande_0=-12\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.write("keep.ini", before);
        ASSERT_TRUE(EcritureIni(file, c.section, c.key, c.value));
        EXPECT_EQ(test::TempDir::read(file), c.after);
    }
}

TEST(EcritureIni, RefusesWhatWouldBreakTheFile) {
    test::TempDir dir;
    const QByteArray before = "[A]\r\nK=1\r\n";
    const QString file = dir.write("a.ini", before);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"", "K", "v"},   {"  ", "K", "v"},  {"A", " ", "v"},    {"A", "K", "two\r\nK2=lines"},
        {"A", "K=", "v"}, {"A]x", "K", "v"}, {"A\nB", "K", "v"}, {"A", ";K", "v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "|" + c.key + "|" + c.value);
        EXPECT_FALSE(EcritureIni(file, c.section, c.key, c.value));
        EXPECT_EQ(test::TempDir::read(file), before);
    }
}

TEST(IniFile, APathWithAWildcardIsNeverReadNorWritten) {
    test::TempDir dir;
    const QString file = dir.write("what?.ini", "[A]\r\nK=on disk\r\n");
    EXPECT_EQ(LectureIni(file, "A", "K", "def"), "def");
    EXPECT_FALSE(EcritureIni(file, "A", "K", "new"));
    EXPECT_EQ(test::TempDir::read(file), QByteArray("[A]\r\nK=on disk\r\n"));
    EXPECT_FALSE(EcritureIni(dir.file("new?.ini"), "A", "K", "v"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("new?.ini")));

    for (const char* bad : {"a*b", "a?b", "a\"b", "a|b"})
        EXPECT_FALSE(NomFichierValide(bad)) << bad;
    EXPECT_TRUE(NomFichierValide(s("/srv/Données/KS3 Tools_Convert.Ini")));
}

TEST(EcritureIni, RetriesAfterCreatingTheFolder) {
    test::ManualClock clock;
    test::TempDir dir;
    const QString file = dir.file("Settings/KS3_Convert/KS3_Tools_Convert.Ini");
    ASSERT_TRUE(EcritureIni(file, "Dossiers", "Frequence", "5"));
    EXPECT_EQ(LectureIni(file, "Dossiers", "Frequence"), "5");
    EXPECT_EQ(clock.waits, 1);
    EXPECT_EQ(clock.totalWaitedMs, kEcritureIniPauseMs);
}

TEST(EcritureIni, ClearsTheReadOnlyFlagOnTheThirdAttempt) {
    test::ManualClock clock;
    test::TempDir dir;
    const QString file = dir.write("ro.ini", "[A]\r\nK=1\r\n");
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    ASSERT_TRUE(EcritureIni(file, "A", "K", "2"));
    EXPECT_EQ(test::TempDir::read(file), QByteArray("[A]\r\nK=2\r\n"));
    EXPECT_TRUE(QFileInfo(file).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(clock.waits, 2);
}

TEST(EcritureIni, FailsAfterThreeAttemptsWithoutRealWaiting) {
    test::ManualClock clock;
    test::TempDir dir;
    dir.write("plain", "not a folder");
    // The folder cannot be created: its parent is a file.
    EXPECT_FALSE(EcritureIni(dir.file("plain/sub/x.ini"), "A", "K", "v"));
    EXPECT_EQ(clock.waits, 2);
    EXPECT_EQ(clock.totalWaitedMs, 2 * kEcritureIniPauseMs);
    EXPECT_EQ(test::TempDir::read(dir.file("plain")), QByteArray("not a folder"));
}

TEST(EcritureIni, LeavesNoTemporaryFileBehind) {
    test::TempDir dir;
    const QString file = dir.file("a.ini");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(EcritureIni(file, "A", QStringLiteral("K%1").arg(i), "v"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(EcritureIni, SeveralKeysGiveTheFileThatOneWriteEachGives) {
    test::TempDir dir;
    const QByteArray before = "; kept\n[B]\nOld=1\n";
    const QList<IniEntree> entrees{{"A", "K1", "1"}, {"b", "old", "2"}, {"A", "K2", s("é")}, {"C", "K", ""}};
    const QString unParUn = dir.write("one.ini", before);
    for (const IniEntree& e : entrees)
        ASSERT_TRUE(EcritureIni(unParUn, e.section, e.key, e.value));
    const QString ensemble = dir.write("all.ini", before);
    ASSERT_TRUE(EcritureIni(ensemble, entrees));
    EXPECT_EQ(test::TempDir::read(ensemble), test::TempDir::read(unParUn));

    // A refused entry is skipped, the others are written, and the answer says so.
    const QString partiel = dir.file("partial.ini");
    EXPECT_FALSE(EcritureIni(partiel, {{"A", "K1", "1"}, {"A", "Bad", "two\nlines"}, {"A", "K2", "2"}}));
    EXPECT_EQ(test::TempDir::read(partiel), QByteArray("[A]\r\nK1=1\r\nK2=2\r\n"));
}
