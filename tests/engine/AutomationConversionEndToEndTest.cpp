// The older converter's path through the real program: KS3_Tools_Convert
// --once in a program folder holding MusicConverter and its automation
// component, but no CoreConverter.
#include "platform/Text1252.h"
#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

class AutomationConversion : public ::testing::Test {
protected:
    test::TempDir dir;
    QString prog;

    void SetUp() override {
        prog = dir.file("prog/");
        QDir().mkpath(prog);
        // The program is copied: its folder is where it finds its converter.
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KS3_BIN_DIR "/KS3_Tools_Convert"), prog + "KS3_Tools_Convert"));
        QFile(prog + "KS3_Tools_Convert")
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        ASSERT_TRUE(QFile::link(QStringLiteral(KS3_BIN_DIR "/MusicConverter"), prog + "MusicConverter"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/dMCScripting.so"), prog + "dMCScripting.so"));
    }

    void settingsFor(int cible) {
        const QString ini = QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\nFrequence=5\r\n"
                                           "[Fichiers]\r\nSource_10=True\r\nCible=%3\r\n")
                                .arg(dir.file("in/"), dir.file("out/"))
                                .arg(cible);
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", toCp1252(ini));
    }

    QString runOnce() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(prog + "KS3_Tools_Convert", {QStringLiteral("--once")});
        EXPECT_TRUE(p.waitForFinished(300000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
        QString text;
        QDirIterator it(prog, {QStringLiteral("*.Log")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            text += fromCp1252(test::TempDir::read(it.next()));
        return text;
    }

    void expectSound(const QString& path, const char* codec, int rate, double seconds) {
        SCOPED_TRACE(path.toStdString());
        const test::AudioInfo info = test::probeAudio(path);
        ASSERT_TRUE(info.ok) << info.error.toStdString();
        EXPECT_TRUE(info.codec.startsWith(QLatin1String(codec))) << info.codec.toStdString();
        EXPECT_EQ(info.sampleRate, rate);
        EXPECT_NEAR(info.duration, seconds, 0.1);
    }
};

TEST_F(AutomationConversion, OnceConvertsToMp3ThenS48) {
    for (const auto& [name, seconds] : {std::pair{"a", 1.0}, std::pair{"b", 1.6}}) {
        const QString p = test::writeWav(dir.file(QStringLiteral("in/%1.wav").arg(QLatin1String(name))),
                                         test::tone(440, seconds));
        ASSERT_FALSE(p.isEmpty());
        test::backdateFile(p, 120);
    }
    QDir().mkpath(dir.file("out"));

    settingsFor(2); // MPEG-1 Layer 3, its usual characteristics
    const QString first = runOnce();
    expectSound(dir.file("out/a.mp3"), "mp3", 44100, 1.0);
    expectSound(dir.file("out/b.mp3"), "mp3", 44100, 1.6);
    EXPECT_TRUE(first.contains(QStringLiteral("Convert: Source file: ") + dir.file("in/a.wav")));
    EXPECT_TRUE(first.contains(QStringLiteral("Convert: Target file: ") + dir.file("out/a.mp3")));
    EXPECT_FALSE(first.contains(QStringLiteral("not available")));

    settingsFor(8); // MPEG-1 Layer 2 (*.s48), no characteristics
    const QString second = runOnce();
    expectSound(dir.file("out/a.s48"), "mp2", 44100, 1.0);
    expectSound(dir.file("out/b.s48"), "mp2", 44100, 1.6);
    EXPECT_TRUE(second.contains(QStringLiteral("Convert: Target file: ") + dir.file("out/b.s48")));
    EXPECT_FALSE(QFile::exists(dir.file("out/a.mp2")));
    EXPECT_TRUE(QFile::exists(dir.file("in/a.wav")));
}

} // namespace
