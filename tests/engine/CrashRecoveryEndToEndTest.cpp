// The unattended run killed outright at random moments, and its converter
// killed on its own, with the deletion of the sources on: whatever the moment,
// no target is partial under its name, the record files stay whole, a source
// is never deleted without its target, and the next run converts exactly the
// files not yet converted, without "(1)" copies.
#include "support/AudioProbe.h"
#include "support/ProgramFolder.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <random>

using namespace ks3;
using test::ProgramFolder;

namespace {

class CrashRecovery : public ::testing::Test {
protected:
    test::TempDir dir;
    ProgramFolder program{dir};
    std::map<QString, double> seconds; // source name without extension -> duration

    void SetUp() override {
        // "Indexer": a target left by an attempt that the history does not know
        // of would show as a "(1)" copy.
        program.writeSettings(QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\nFrequence=5\r\n"
                                             "[Fichiers]\r\nSource_10=True\r\nCible=2\r\n"
                                             "CibleCaracteristiques=0\r\nCibleExistant=1\r\n"
                                             "[FichiersSources]\r\nDetruire=1\r\n")
                                  .arg(dir.file("in/"), dir.file("out/")));
        QDir().mkpath(dir.file("in"));
    }

    void addSource(int n) {
        const QString name = QStringLiteral("s%1").arg(n, 2, 10, QLatin1Char('0'));
        const double length = 0.4 + 0.1 * (n % 7);
        ASSERT_FALSE(
            test::writeWav(dir.file("in/" + name + ".wav"), test::tone(300 + 20 * n, length)).isEmpty());
        test::backdateFile(dir.file("in/" + name + ".wav"), 120);
        seconds[name] = length;
    }

    QStringList sourcesLeft() const {
        QStringList names = QDir(dir.file("in")).entryList({QStringLiteral("*.wav")}, QDir::Files);
        for (QString& n : names)
            n.chop(4);
        return names;
    }

    // The sounds under their final names in out/ (hidden temporary files and
    // the error folder aside).
    QStringList targets() const { return QDir(dir.file("out")).entryList(QDir::Files); }

    // Every target is one of a source, whole, and no source is gone without it.
    void checkAfterKill(const QString& when) {
        SCOPED_TRACE(when.toStdString());
        for (const QString& t : targets()) {
            const QString name = QFileInfo(t).completeBaseName();
            ASSERT_TRUE(t.endsWith(QLatin1String(".mp3")) && seconds.count(name))
                << "a target no source explains: " << t.toStdString();
            const test::AudioInfo info = test::probeAudio(dir.file("out/" + t));
            ASSERT_TRUE(info.ok) << t.toStdString() << ": " << info.error.toStdString();
            EXPECT_NEAR(info.duration, seconds[name], 0.06) << t.toStdString() << " is partial";
        }
        const QStringList left = sourcesLeft();
        for (const auto& [name, length] : seconds) {
            if (!left.contains(name)) {
                EXPECT_TRUE(QFile::exists(dir.file("out/" + name + ".mp3")))
                    << name.toStdString() << " deleted without its target";
            }
        }
        EXPECT_EQ(program.damagedRecordFiles(), QStringList());
    }

    // The sources whose target is not there yet.
    QStringList notYetConverted() const {
        QStringList out;
        for (const QString& name : sourcesLeft())
            if (!QFile::exists(dir.file("out/" + name + ".mp3")))
                out << name;
        return out;
    }
};

} // namespace

TEST_F(CrashRecovery, KillsOfTheProgramOrOfItsConverterAtRandomMomentsLoseNothingAndCopyNothing) {
    std::mt19937 random(20261210);
    int next = 0;
    for (; next < 24; ++next)
        addSource(next);

    for (int round = 0; round < 12; ++round) {
        for (int k = 0; k < 3; ++k)
            addSource(next++);
        QProcess p;
        program.start(p);
        const bool killConverter = round % 2 == 1;
        if (!killConverter) {
            // The program, outright, at any moment of its run.
            p.waitForFinished(std::uniform_int_distribution<int>(150, 2500)(random));
            test::signalProcess(p.processId(), SIGKILL);
            ASSERT_TRUE(p.waitForFinished(10000));
        } else {
            // One converter, at a moment of its conversion. The program records the
            // failed attempt and goes on to the next file, where it is killed too
            // (a run that has nothing left ends by itself).
            const int nth = std::uniform_int_distribution<int>(1, 4)(random);
            const int delay = std::uniform_int_distribution<int>(0, 60)(random);
            QList<qint64> seen;
            bool killed = false;
            ProgramFolder::waitFor(
                [&] {
                    // Once the program has ended its id is 0, whose children
                    // are the system's first processes.
                    if (p.state() == QProcess::NotRunning)
                        return true;
                    for (const qint64 child : ProgramFolder::childrenOf(p.processId())) {
                        if (seen.contains(child))
                            continue;
                        seen << child;
                        if (killed)
                            return true;
                        if (int(seen.size()) == nth) {
                            QThread::msleep(ulong(delay));
                            killed = test::signalProcess(child, SIGKILL);
                        }
                    }
                    return p.state() == QProcess::NotRunning;
                },
                60000, 1);
            if (p.state() != QProcess::NotRunning)
                test::signalProcess(p.processId(), SIGKILL);
            ASSERT_TRUE(p.waitForFinished(60000));
        }
        checkAfterKill(
            QStringLiteral("round %1, %2 killed").arg(round).arg(killConverter ? "converter" : "program"));
        if (HasFatalFailure())
            return;
    }

    // A whole run: exactly the files not converted yet, each once.
    const QStringList pending = notYetConverted();
    const int logBefore = int(program.traceLog().size());
    QProcess last;
    program.start(last);
    ASSERT_TRUE(last.waitForFinished(180000));
    EXPECT_EQ(last.exitCode(), 0) << last.readAll().toStdString();
    const QString log = program.traceLog().mid(logBefore);
    static const QRegularExpression command(QStringLiteral("-infile=\"[^\"]*/in/(s[0-9]+)\\.wav\""));
    QStringList converted;
    for (auto it = command.globalMatch(log); it.hasNext();)
        converted << it.next().captured(1);
    converted.sort();
    EXPECT_EQ(converted, pending);

    checkAfterKill(QStringLiteral("after the last run"));
    QStringList all;
    for (const auto& [name, length] : seconds)
        all << name + QStringLiteral(".mp3");
    EXPECT_EQ(targets(), all) << "one target per source, no copy";
    EXPECT_EQ(sourcesLeft(), QStringList()) << "every converted source is deleted";
    EXPECT_EQ(QDir(dir.file("out")).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden),
              QStringList());
}

// The window no random kill is sure to hit: the converter has put the target
// under its name, and the program is killed before it records the attempt.
TEST_F(CrashRecovery, TargetFinishedJustBeforeTheProgramDiedIsTakenAsConvertedByTheNextRun) {
    addSource(1);
    QProcess p;
    program.start(p);
    qint64 converter = 0;
    ASSERT_TRUE(ProgramFolder::waitFor(
        [&] {
            const QList<qint64> children = ProgramFolder::childrenOf(p.processId());
            converter = children.isEmpty() ? 0 : children.first();
            return converter != 0;
        },
        60000, 1));
    // The program stands still while its converter finishes, then dies.
    test::signalProcess(p.processId(), SIGSTOP);
    ASSERT_TRUE(ProgramFolder::waitFor([&] { return QFile::exists(dir.file("out/s01.mp3")); }, 60000));
    ASSERT_TRUE(ProgramFolder::waitFor(
        [&] {
            const QByteArray stat = test::TempDir::read(QStringLiteral("/proc/%1/stat").arg(converter));
            return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 1).trimmed().startsWith('Z');
        },
        60000));
    test::signalProcess(p.processId(), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(dir.file("in/s01.wav")));

    QProcess next;
    program.start(next);
    ASSERT_TRUE(next.waitForFinished(60000));
    EXPECT_EQ(next.exitCode(), 0);
    EXPECT_EQ(targets(), QStringList{QStringLiteral("s01.mp3")}) << "no (1) copy";
    EXPECT_NEAR(test::probeAudio(dir.file("out/s01.mp3")).duration, seconds["s01"], 0.06);
    EXPECT_FALSE(QFile::exists(dir.file("in/s01.wav"))) << "converted: the source goes";
    EXPECT_EQ(program.damagedRecordFiles(), QStringList());
}
