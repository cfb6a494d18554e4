// Where the real program keeps its data when it cannot write into its own
// folder (an installed package): $STATE_DIRECTORY, else $XDG_DATA_HOME/Kestrel/.
// As root the program runs as "nobody", for whom the program folder is read-only.
#include "platform/Text1252.h"
#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace ks3;

namespace {
constexpr uid_t kNobody = 65534;

void giveToUser(const QString& path) {
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0) << path.toStdString();
}
} // namespace

TEST(DataRootEndToEnd, ReadOnlyProgramFolderKeepsItsDataUnderStateDirectoryElseXdgDataHome) {
    struct Case {
        const char* what;
        bool stateDirectory;
        const char* dataRoot;
    } cases[] = {
        {"systemd's state directory", true, "state/"},
        {"no state directory: the user's data folder", false, "home/xdg/Kestrel/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                              QFile::ExeGroup);
        const QString prog = dir.file("prog/");
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
        for (const QString& d :
             {dir.file("home"), dir.file("home/xdg"), dir.file("state"), dir.file("out")}) {
            QDir().mkpath(d);
            giveToUser(d);
        }
        ASSERT_FALSE(test::writeWav(dir.file("in/a.wav"), test::tone(440, 1.0)).isEmpty());
        test::backdateFile(dir.file("in/a.wav"), 120);
        const QString root = dir.file(QString::fromLatin1(c.dataRoot));
        const QString ini = QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\n"
                                           "[Fichiers]\r\nSource_10=True\r\nCible=2\r\n"
                                           "CibleCaracteristiques=2\r\nCibleExistant=0\r\n")
                                .arg(dir.file("in/"), dir.file("out/"));
        dir.write(QString::fromLatin1(c.dataRoot) + "Settings/KS3_Convert/KS3_Tools_Convert.Ini",
                  toCp1252(ini));
        for (const QString& d : {root, root + "Settings", root + "Settings/KS3_Convert",
                                 root + "Settings/KS3_Convert/KS3_Tools_Convert.Ini"})
            giveToUser(d);
        // Not root: the folder itself is made read-only.
        if (::geteuid() != 0)
            QFile::setPermissions(prog, QFile::ReadOwner | QFile::ExeOwner);

        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), dir.file("home"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.file("home/xdg"));
        if (c.stateDirectory)
            env.insert(QStringLiteral("STATE_DIRECTORY"), dir.file("state"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        if (::geteuid() == 0)
            p.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=%1").arg(kNobody), QStringLiteral("--regid=%1").arg(kNobody),
                     QStringLiteral("--clear-groups"), prog + "KS3_Tools_Convert", QStringLiteral("--once")});
        else
            p.start(prog + "KS3_Tools_Convert", {QStringLiteral("--once")});
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(p.readAll());
        QFile::setPermissions(prog, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(p.exitCode(), 0) << output.toStdString();

        const test::AudioInfo info = test::probeAudio(dir.file("out/a.mp3"));
        ASSERT_TRUE(info.ok) << info.error.toStdString() << output.toStdString();
        EXPECT_NEAR(info.duration, 1.0, 0.06);
        EXPECT_TRUE(QFile::exists(root + "BTRieve/Data/FRAD041.bt6"));
        EXPECT_EQ(QDir(root + "RirozIze/Histo_KS3_Tools_Convert").entryList({"*.Log"}, QDir::Files).size(),
                  1);
        // Nothing beside the program but the program and its converter.
        EXPECT_EQ(QDir(prog).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                  QStringList({"CoreConverter", "KS3_Tools_Convert"}));
    }
}
