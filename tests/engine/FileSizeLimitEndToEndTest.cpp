// The converter writing into a target that does not fit: the program runs
// under a file-size limit (RLIMIT_FSIZE, as "ulimit -f" sets it), inherited by
// its converter, with the deletion of the sources on. The conversion must fail
// cleanly: no target, no temporary file left, the reason in the error file,
// "N" in the history, the source kept; and the next run, without the limit,
// converts it.
#include "support/AudioProbe.h"
#include "support/ProgramFolder.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace ks3;
using test::ProgramFolder;

namespace {

// Larger than every file the program writes of its own in one short run (its
// trace log, its record files), smaller than the converted sound.
constexpr rlim_t kLimitBytes = 192 * 1024;

class FileSizeLimit : public ::testing::Test {
protected:
    test::TempDir dir;
    ProgramFolder program{dir};

    void SetUp() override {
        program.writeSettings(QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\nFrequence=5\r\n"
                                             "[Fichiers]\r\nSource_10=True\r\nCible=2\r\n"
                                             "CibleCaracteristiques=0\r\nCibleExistant=0\r\n"
                                             "[FichiersSources]\r\nDetruire=1\r\n")
                                  .arg(dir.file("in/"), dir.file("out/")));
        // 20 s at 128 kbit/s: about 320 kB of mp3 (the source is only read).
        ASSERT_FALSE(test::writeWav(dir.file("in/long.wav"), test::tone(440, 20.0)).isEmpty());
        test::backdateFile(dir.file("in/long.wav"), 120);
    }

    QString run(QProcess& p, bool limited, const QStringList& args = {QStringLiteral("--once")}) {
        if (limited)
            p.setChildProcessModifier([] {
                const rlimit limit{kLimitBytes, kLimitBytes};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        program.start(p, args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return QString::fromUtf8(p.readAll());
    }
};

} // namespace

TEST_F(FileSizeLimit, TargetThatDoesNotFitFailsCleanlyAndIsConvertedOnceThereIsRoom) {
    QProcess limited;
    const QString output = run(limited, true);
    ASSERT_EQ(limited.exitStatus(), QProcess::NormalExit) << "the program died: " << output.toStdString();
    EXPECT_EQ(limited.exitCode(), 0) << output.toStdString();

    EXPECT_FALSE(QFileInfo::exists(dir.file("out/long.mp3")));
    EXPECT_EQ(QDir(dir.file("out")).entryList(QDir::Files | QDir::Hidden), QStringList())
        << "no partial target left";
    const QByteArray reason = test::TempDir::read(dir.file("out/Err_Convert/long.Log"));
    EXPECT_TRUE(reason.startsWith("Error:")) << reason.toStdString();
    EXPECT_TRUE(QFile::exists(dir.file("in/long.wav"))) << "the source is kept";

    QProcess errors;
    const QString failed = run(errors, false, {QStringLiteral("--history"), QStringLiteral("Erreurs")});
    EXPECT_TRUE(failed.contains(QStringLiteral("long.wav"))) << failed.toStdString();
    EXPECT_EQ(program.damagedRecordFiles(), QStringList());

    // With room, the next run converts it.
    QProcess free;
    run(free, false);
    EXPECT_EQ(free.exitCode(), 0);
    const test::AudioInfo info = test::probeAudio(dir.file("out/long.mp3"));
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_NEAR(info.duration, 20.0, 0.06);
    EXPECT_FALSE(QFile::exists(dir.file("in/long.wav")));
}
