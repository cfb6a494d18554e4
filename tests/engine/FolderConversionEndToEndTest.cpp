// The whole folder conversion, through the real program and the real converter:
// KS3_Tools_Convert --once on a program folder of its own.
#include "common/ProgramValues.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordFiles.h"
#include "support/AudioProbe.h"
#include "support/ProgramTraceLog.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>

using namespace ks3;

namespace {
struct Header {
    QString id, name, sourceFolder, aConvertir, ok;
};
struct Detail {
    QString idEntete, idDetail, ok, message;
};

class FolderConversion : public ::testing::Test {
protected:
    test::TempDir dir;
    QString prog;
    qint64 runningPid = 0;

    void SetUp() override {
        prog = dir.file("prog/");
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
        QFile(prog + "KS3_Tools_Convert")
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        QFile(prog + "CoreConverter").setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        const QString ini =
            QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\nSource_1=%3\r\nCible_1=%4\r\n"
                           "Source_Recursive=1\r\nCible_Recursive=1\r\nFrequence=5\r\n"
                           "[Fichiers]\r\nSource_8=True\r\nSource_10=True\r\nSource_13=True\r\n"
                           "Cible=2\r\nCibleCaracteristiques=2\r\nCibleExistant=0\r\n")
                .arg(dir.file("in1/"), dir.file("out1/"), dir.file("in2/"), dir.file("out2/"));
        writeSettings(ini);
        QDir().mkpath(dir.file("in1"));
        QDir().mkpath(dir.file("in2"));
    }

    void writeSettings(const QString& ini) {
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", toCp1252(ini));
    }

    void makeSources() {
        // Sources of several formats, the FLAC and mp3 ones made by the converter itself.
        source("in1/a.wav", 1.0);
        source("in1/Jazz/b.wav", 1.5);
        source("in1/Jazz/Old/c.wav", 0.7);
        source("in2/d.wav", 1.2);
        encode("in2/e.flac", "FLAC", {}, 0.8);
        encode("in1/Jazz/f.mp3", "mp3 (Lame)", {"-s=44100", "-b=128"}, 1.1);
        dir.write("in2/notes.txt", "not a sound");
    }

    void source(const QString& rel, double seconds) {
        ASSERT_FALSE(test::writeWav(dir.file(rel), test::tone(440, seconds)).isEmpty());
        test::backdateFile(dir.file(rel), 120);
    }

    void encode(const QString& rel, const char* codec, const QStringList& settings, double seconds) {
        const QString wav = dir.file("tmp.wav");
        test::writeWav(wav, test::tone(660, seconds));
        test::backdateFile(wav, 120);
        QDir().mkpath(QFileInfo(dir.file(rel)).absolutePath());
        QProcess p;
        p.start(QStringLiteral(KS3_BIN_DIR "/CoreConverter"),
                QStringList{"-infile=" + wav, "-outfile=" + dir.file(rel),
                            QStringLiteral("-convert_to=") + codec} +
                    settings);
        ASSERT_TRUE(p.waitForFinished(60000));
        QFile::remove(wav);
        ASSERT_TRUE(QFile::exists(dir.file(rel))) << rel.toStdString();
        test::backdateFile(dir.file(rel), 120);
    }

    void startOnce(QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(prog + "KS3_Tools_Convert", {QStringLiteral("--once")});
        runningPid = p.processId();
    }

    // Runs the program once; whileRunning is called about every 100 ms (every
    // 5 ms with pollFast) until it ends, with the program's process number in
    // runningPid.
    QString runOnce(const std::function<void()>& whileRunning = {}, int expectedExit = 0,
                    bool pollFast = false) {
        QProcess p;
        startOnce(p);
        QElapsedTimer elapsed;
        elapsed.start();
        while (!p.waitForFinished(pollFast ? 5 : 100) && elapsed.elapsed() < 300000)
            if (whileRunning)
                whileRunning();
        EXPECT_EQ(p.state(), QProcess::NotRunning);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), expectedExit) << p.readAll().toStdString();
        return todaysLog();
    }

    QString todaysLog() const { return test::programTraceLog(prog); }

    // Reads the whole history through the record layer, as the history window would.
    void history(QList<Header>& headers, QList<Detail>& details) {
        programValues().dossierProgramme = prog;
        workingFolders().dataFolder = prog + "BTRieve/Data/";
        workingFolders().localDataFolder = prog + "KS_Data/Data/";
        workingFolders().nbStation = 1;
        InitGeneralData();
        PervasiveOuvertureFichiers(0, 1, 1);
        QString cle;
        for (int op = btr::OpGetFirst;; op = btr::OpGetNext) {
            cle = QString(10, QLatin1Char(' '));
            BTRieve(0, op, cle, 0, 41, 0, QStringLiteral("Test:history"));
            if (btrRequest().BtrStatut != 0)
                break;
            const EnregConvertEntete& e = enregConvertEntete();
            headers.append(
                {e.IdEntete(), e.NomFichierSource(), e.DossierSource(), e.AConvertir(), e.ConversionOK()});
        }
        for (int op = btr::OpGetFirst;; op = btr::OpGetNext) {
            cle = QString(20, QLatin1Char(' '));
            BTRieve(0, op, cle, 0, 42, 0, QStringLiteral("Test:history"));
            if (btrRequest().BtrStatut != 0)
                break;
            const EnregConvertDetail& d = enregConvertDetail();
            details.append({d.IdEntete(), d.IdDetail(), d.ConversionOK(), d.LibelleDetail()});
        }
        PervasiveFermetureFichiers(0, 1, 1);
    }

    static int count(const QString& text, const QString& what) { return int(text.count(what)); }

    // The processes whose parent is pid.
    static QList<qint64> childrenOf(qint64 pid) { return test::childProcessesOf(pid); }

    // "Existant" policy of the settings: 0 "Ecraser", 1 "Indexer", ...
    void setCibleExistant(int policy) {
        const QString ini = dir.file("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini");
        QByteArray text = test::TempDir::read(ini);
        text.replace("CibleExistant=0", "CibleExistant=" + QByteArray::number(policy));
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", text);
    }

    // Every name of the folder, hidden ones included.
    static QStringList entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The converters' temporary outputs in the folder.
    static QStringList partials(const QString& folder) {
        return QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    }

    // The PID in a temporary output's name.
    static qint64 pidOf(const QString& partial) {
        static const QRegularExpression re(QStringLiteral("\\.([0-9]+)\\.part$"));
        return re.match(partial).captured(1).toLongLong();
    }

    // True when the process no longer runs: gone, or ended and not yet collected.
    static bool processEnded(qint64 pid) {
        if (::kill(pid_t(pid), 0) != 0)
            return errno == ESRCH;
        const QByteArray stat = test::TempDir::read(QStringLiteral("/proc/%1/stat").arg(pid));
        return stat.mid(stat.lastIndexOf(')') + 1).trimmed().startsWith('Z');
    }

    static bool waitFor(const std::function<bool()>& condition, int ms) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > ms)
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    // The first temporary output that shows in folder while process runs; empty
    // when the process ends first or after ms.
    static QString partialOf(const QProcess& process, const QString& folder, int ms) {
        QString found;
        waitFor(
            [&] {
                const QStringList names = partials(folder);
                found = names.isEmpty() ? QString() : names.first();
                return !found.isEmpty() || process.state() == QProcess::NotRunning;
            },
            ms);
        return found;
    }
};
} // namespace

TEST_F(FolderConversion, ConvertsNewFilesSkipsUnchangedOnesAndRetriesChangedAndFailedOnes) {
    makeSources();
    const QString log1 = runOnce();
    const struct {
        const char* target;
        double seconds;
    } targets[] = {{"out1/a.mp3", 1.0},      {"out1/Jazz/b.mp3", 1.5}, {"out1/Jazz/Old/c.mp3", 0.7},
                   {"out1/Jazz/f.mp3", 1.1}, {"out2/d.mp3", 1.2},      {"out2/e.mp3", 0.8}};
    for (const auto& t : targets) {
        const test::AudioInfo info = test::probeAudio(dir.file(t.target));
        ASSERT_TRUE(info.ok) << t.target << ": " << info.error.toStdString();
        EXPECT_TRUE(info.codec.startsWith(QStringLiteral("mp3")))
            << t.target << ": " << info.codec.toStdString();
        EXPECT_EQ(info.sampleRate, 44100) << t.target;
        EXPECT_NEAR(info.bitRate, 256000, 8000) << t.target;
        EXPECT_NEAR(info.duration, t.seconds, 0.06) << t.target; // within about one frame and the codec delay
    }
    EXPECT_FALSE(QFile::exists(dir.file("out2/notes.mp3")));
    EXPECT_EQ(count(log1, QStringLiteral("-convert_to=\"mp3 (Lame)\"")), 6);
    EXPECT_TRUE(log1.contains(QStringLiteral("Conversion terminée: ")));
    EXPECT_TRUE(log1.contains(QStringLiteral("Fichier non encore traité: ") + dir.file("in1/a.wav")));

    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    ASSERT_EQ(headers.size(), 6);
    ASSERT_EQ(details.size(), 6);
    for (const Detail& d : details)
        EXPECT_EQ(d.ok, QStringLiteral("O")) << d.idEntete.toStdString() << " " << d.message.toStdString();
    for (const Header& h : headers)
        EXPECT_EQ(h.aConvertir, QStringLiteral("N")) << h.name.toStdString();

    // Nothing changed: nothing converted, nothing written.
    const QString log2 = runOnce().mid(log1.size());
    EXPECT_EQ(count(log2, QStringLiteral("-convert_to=")), 0);
    headers.clear();
    details.clear();
    history(headers, details);
    EXPECT_EQ(headers.size(), 6);
    EXPECT_EQ(details.size(), 6);

    // One file touched, one corrupted: exactly those two are converted again.
    QFile::setPermissions(dir.file("in1/Jazz/b.wav"), QFile::ReadOwner | QFile::WriteOwner);
    test::backdateFile(dir.file("in1/Jazz/b.wav"), 30);
    dir.write("in2/d.wav", QByteArray(5000, 'x'));
    test::backdateFile(dir.file("in2/d.wav"), 30);
    const QString log3 = runOnce().mid(log1.size() + log2.size());
    EXPECT_EQ(count(log3, QStringLiteral("-convert_to=")), 2);
    EXPECT_TRUE(log3.contains(QStringLiteral("Date différente (Anc. <> Act.): ")));
    EXPECT_TRUE(log3.contains(QStringLiteral("Taille différente (Anc. <> Act.): ")));
    headers.clear();
    details.clear();
    history(headers, details);
    EXPECT_EQ(headers.size(), 6);
    ASSERT_EQ(details.size(), 8);
    int failed = 0;
    for (const Detail& d : details)
        if (d.ok == QLatin1String("N")) {
            ++failed;
            EXPECT_TRUE(d.message.contains(QStringLiteral("non trouvé après la conversion")));
        }
    EXPECT_EQ(failed, 1);
    EXPECT_FALSE(QFile::exists(dir.file("out2/d.mp3"))) << "the overwritten target was deleted first";
    EXPECT_GT(QFileInfo(dir.file("out2/Err_Convert/d.Log")).size(), 0)
        << "the error file of the failure stays";
    EXPECT_FALSE(QFile::exists(dir.file("out1/Err_Convert/a.Log"))) << "no empty error file after a success";
}

TEST_F(FolderConversion, FileBeingWrittenIsConvertedOnceFinished) {
    // Another program writes the file slowly, all through the first run.
    const QByteArray image = test::makeWav(test::tone(440, 1.0));
    QFile growing(dir.file("in1/g.wav"));
    ASSERT_TRUE(growing.open(QIODevice::WriteOnly));
    qsizetype written = 0;
    auto writeSome = [&] {
        const qsizetype n = qMin<qsizetype>(1024, image.size() - 1 - written);
        if (n > 0) {
            growing.write(image.mid(written, n));
            written += n;
        } else { // out of sound: keep rewriting the last piece
            growing.seek(written - 1024);
            growing.write(image.mid(written - 1024, 1024));
        }
        growing.flush();
    };
    writeSome();
    const QString log1 = runOnce(writeSome);
    EXPECT_TRUE(log1.contains(QStringLiteral("Fichier non encore traité: ") + dir.file("in1/g.wav")));
    EXPECT_FALSE(QFile::exists(dir.file("out1/g.mp3"))) << "a partial file was converted";

    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0].aConvertir, QStringLiteral("O")) << "the file is still to convert";
    ASSERT_EQ(details.size(), 1);
    EXPECT_EQ(details[0].ok, QStringLiteral("N"));

    // Finished: the next run converts the whole sound.
    growing.seek(written);
    growing.write(image.mid(written));
    growing.close();
    test::backdateFile(dir.file("in1/g.wav"), 30);
    runOnce();
    const test::AudioInfo info = test::probeAudio(dir.file("out1/g.mp3"));
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_NEAR(info.duration, 1.0, 0.06);
    headers.clear();
    details.clear();
    history(headers, details);
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0].aConvertir, QStringLiteral("N"));
    ASSERT_EQ(details.size(), 2);
    EXPECT_EQ(details[1].ok, QStringLiteral("O"));
}

// A request of the system to end a run without a window (the service stopped,
// Ctrl+C, the terminal closed) ends it after the file being converted: that
// target is whole, the other files wait for the next run, and the log ends
// with the unload. Each stopped run converts exactly one more file.
TEST_F(FolderConversion, RequestOfTheSystemToEndStopsTheRunAfterTheCurrentFile) {
    for (const char* name : {"a", "b", "c", "d"})
        source(QStringLiteral("in1/") + name + QStringLiteral(".wav"), 20.0);
    QString before;
    const int signalNumbers[] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 3; ++i) {
        const int signalNumber = signalNumbers[i];
        SCOPED_TRACE(signalNumber);
        bool sent = false;
        const QString log = runOnce(
                                [&] {
                                    if (!sent && !childrenOf(runningPid).isEmpty())
                                        sent = test::signalProcess(runningPid, signalNumber);
                                },
                                1, true)
                                .mid(before.size());
        before += log;
        ASSERT_TRUE(sent) << "the converter was never seen running";
        EXPECT_TRUE(log.contains(QStringLiteral("Close asked by the system (signal ") +
                                 QString::number(signalNumber) + QLatin1Char(')')))
            << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("Conversion stoppée")));
        EXPECT_EQ(count(log, QStringLiteral("-convert_to=")), 1);
        const qsizetype start = log.indexOf(QStringLiteral("---------- Form_Unload: Start"));
        EXPECT_GE(start, 0);
        EXPECT_GT(log.indexOf(QStringLiteral("---------- Form_Unload: End")), start);
        const QStringList targets = QDir(dir.file("out1")).entryList({QStringLiteral("*.mp3")}, QDir::Files);
        ASSERT_EQ(targets.size(), i + 1);
        for (const QString& t : targets) {
            const test::AudioInfo info = test::probeAudio(dir.file("out1/") + t);
            ASSERT_TRUE(info.ok) << t.toStdString() << ": " << info.error.toStdString();
            EXPECT_NEAR(info.duration, 20.0, 0.06) << t.toStdString();
        }
    }
    // Not stopped: the last file is converted, and the run ends with status 0
    // and the whole unload.
    const QString log = runOnce().mid(before.size());
    EXPECT_EQ(count(log, QStringLiteral("-convert_to=")), 1);
    EXPECT_GT(log.indexOf(QStringLiteral("---------- Form_Unload: End")),
              log.indexOf(QStringLiteral("---------- Form_Unload: Start")));
    EXPECT_GE(log.indexOf(QStringLiteral("---------- Form_Unload: Start")), 0);
    EXPECT_EQ(QDir(dir.file("out1")).entryList({QStringLiteral("*.mp3")}, QDir::Files).size(), 4);
}

namespace {
const QString kSelfTarget = QStringLiteral("Cible identique au fichier source, conversion refusée: '");

// Gives files and folders names that Qt cannot spell (it decodes names as UTF-8),
// and their own names back at the end, so that the temporary folder can be removed.
class RawNames {
public:
    ~RawNames() {
        for (auto it = renamed_.crbegin(); it != renamed_.crend(); ++it)
            ::rename(it->second.constData(), it->first.constData());
    }
    void rename(const QString& from, const QByteArray& to) {
        const QByteArray name = QFile::encodeName(from);
        ASSERT_EQ(::rename(name.constData(), to.constData()), 0) << to.toStdString();
        renamed_.append({name, to});
    }

private:
    QList<QPair<QByteArray, QByteArray>> renamed_;
};

const Detail* detailOf(const QList<Header>& headers, const QList<Detail>& details, const QString& name) {
    for (const Header& h : headers)
        if (h.name.trimmed() == name)
            for (const Detail& d : details)
                if (d.idEntete == h.id)
                    return &d;
    return nullptr;
}
} // namespace

// Source deletion on, and three layouts where a run used to lose a recording: a
// folder that is its own target for the same type, two sources of one target, and
// a target folder inside its recursive source folder. Besides, names that are not
// UTF-8 are named in the trace log at each run.
TEST_F(FolderConversion, NoRecordingIsLostWhenSourcesAreDeleted) {
    writeSettings(
        QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%1\r\nSource_1=%2\r\nCible_1=%3\r\n"
                       "Source_2=%4\r\nCible_2=%4conv/\r\nSource_Recursive=1\r\nCible_Recursive=1\r\n"
                       "Frequence=5\r\n[Fichiers]\r\nSource_8=True\r\nSource_10=True\r\nCible=2\r\n"
                       "CibleCaracteristiques=2\r\nCibleExistant=0\r\n"
                       "[FichiersSources]\r\nDetruire=1\r\n")
            .arg(dir.file("in1/"), dir.file("in2/"), dir.file("out2/"), dir.file("in3/")));
    encode("in1/song.mp3", "mp3 (Lame)", {"-s=44100", "-b=128"}, 1.1);
    const QByteArray song = test::TempDir::read(dir.file("in1/song.mp3"));
    source("in2/jingle.wav", 1.0);
    encode("in2/jingle.mp3", "mp3 (Lame)", {"-s=44100", "-b=128"}, 1.6);
    source("in3/a.wav", 0.7);
    const QByteArray in1 = QFile::encodeName(dir.file("in1/"));
    RawNames raw;
    source("in1/cafe.wav", 0.5);
    raw.rename(dir.file("in1/cafe.wav"), in1 + "Caf\xE9.wav");
    dir.write("in1/notes.txt", "not a sound");
    raw.rename(dir.file("in1/notes.txt"), in1 + "notes\xE9.txt");
    source("in1/demo/b.wav", 0.5);
    raw.rename(dir.file("in1/demo"), in1 + "D\xE9mo");

    const QString log1 = runOnce();

    // Its own target: refused, recorded as failed, and the recording is still there.
    EXPECT_TRUE(test::TempDir::read(dir.file("in1/song.mp3")) == song) << "the recording was replaced";
    EXPECT_TRUE(log1.contains(kSelfTarget + dir.file("in1/song.mp3") + "'"));
    // Two sources of one target: each converted sound has its own file.
    EXPECT_FALSE(QFile::exists(dir.file("in2/jingle.wav")));
    EXPECT_FALSE(QFile::exists(dir.file("in2/jingle.mp3")));
    QList<double> durations;
    for (const char* target : {"out2/jingle.mp3", "out2/jingle(1).mp3"}) {
        const test::AudioInfo info = test::probeAudio(dir.file(target));
        ASSERT_TRUE(info.ok) << target << ": " << info.error.toStdString();
        durations << info.duration;
    }
    std::sort(durations.begin(), durations.end());
    EXPECT_NEAR(durations[0], 1.0, 0.06);
    EXPECT_NEAR(durations[1], 1.6, 0.06);
    EXPECT_TRUE(log1.contains(QStringLiteral("' vient d'être converti depuis '") + dir.file("in2/jingle.")));
    EXPECT_TRUE(log1.contains(QStringLiteral("Fichier réindexé: ") + dir.file("out2/jingle(1).mp3")));
    // The target folder inside the source folder.
    EXPECT_NEAR(test::probeAudio(dir.file("in3/conv/a.mp3")).duration, 0.7, 0.06);
    // Names the program cannot open: named at each run, in escaped form.
    const QString unreadable =
        QStringLiteral("Warning: LancerAnalyseConvert: File name not valid UTF-8, file "
                       "not converted (rename it): ") +
        dir.file("in1/Caf\\xE9.wav");
    const QString unreadableFolder = QStringLiteral("Warning: LancerAnalyseConvert: Folder name not valid "
                                                    "UTF-8, folder not scanned (rename it): ") +
                                     dir.file("in1/D\\xE9mo/");
    EXPECT_EQ(count(log1, unreadable), 1);
    EXPECT_EQ(count(log1, unreadableFolder), 1);
    EXPECT_FALSE(log1.contains(QStringLiteral("notes\\xE9"))) << "not of a chosen type";

    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    const Detail* refused = detailOf(headers, details, QStringLiteral("song.mp3"));
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->ok, QStringLiteral("N"));
    EXPECT_TRUE(refused->message.startsWith(kSelfTarget)) << refused->message.toStdString();

    // The next run: the converted files in "conv/" are no sources of their own
    // entry, and the unreadable names are named again.
    const QString log2 = runOnce().mid(log1.size());
    EXPECT_EQ(count(log2, QStringLiteral("-convert_to=")), 0) << log2.toStdString();
    EXPECT_TRUE(QFile::exists(dir.file("in3/conv/a.mp3")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("in3/conv/conv")));
    EXPECT_TRUE(test::TempDir::read(dir.file("in1/song.mp3")) == song) << "the recording was replaced";
    EXPECT_EQ(count(log2, unreadable), 1);
    EXPECT_EQ(count(log2, unreadableFolder), 1);
}

// A ".s48" source is converted through a temporary ".mp2" copy: when the source is
// its own target, the copy must not hide it, or the original is replaced (or lost
// when the conversion fails).
TEST_F(FolderConversion, S48SourceThatIsItsOwnTargetIsLeftAlone) {
    writeSettings(QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%1\r\nFrequence=5\r\n"
                                 "[Fichiers]\r\nSource_16=True\r\nCible=8\r\nCibleCaracteristiques=2\r\n"
                                 "CibleExistant=0\r\n[FichiersSources]\r\nDetruire=1\r\n")
                      .arg(dir.file("in1/")));
    encode("in1/song.s48", "mp2", {"-s=48000", "-b=256"}, 1.0);
    const QByteArray song = test::TempDir::read(dir.file("in1/song.s48"));
    const QString log = runOnce();
    EXPECT_TRUE(test::TempDir::read(dir.file("in1/song.s48")) == song) << "the recording was replaced";
    EXPECT_FALSE(QFile::exists(dir.file("in1/song.mp2")));
    EXPECT_EQ(count(log, QStringLiteral("-convert_to=")), 0);
    EXPECT_TRUE(log.contains(kSelfTarget + dir.file("in1/song.s48") + "'"));
    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    const Detail* refused = detailOf(headers, details, QStringLiteral("song.s48"));
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->ok, QStringLiteral("N"));
}

// Names that the history's fields cannot hold whole (longer than the name
// field, two of them sharing what it holds, a leading blank), with existing
// targets indexed: each file is converted once, and the next run leaves them
// all alone instead of adding one more "(n)" copy.
TEST_F(FolderConversion, LongAndBlankNamesAreConvertedOnce) {
    const QString ini =
        QString::fromLatin1(test::TempDir::read(dir.file("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini")));
    dir.write(
        "prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini",
        toCp1252(QString(ini).replace(QStringLiteral("CibleExistant=0"), QStringLiteral("CibleExistant=1"))));
    const QString common = QStringLiteral("Concert du 12 mars 2024 - Orchestre de chambre de ");
    const QStringList names = {common + "Lyon", common + "Nice", QStringLiteral(" blank")};
    for (const QString& name : names)
        source("in1/" + name + ".wav", 0.5);

    const QString log1 = runOnce();
    EXPECT_EQ(count(log1, QStringLiteral("-convert_to=")), 3);
    for (const QString& name : names) {
        const test::AudioInfo info = test::probeAudio(dir.file("out1/" + name + ".mp3"));
        ASSERT_TRUE(info.ok) << name.toStdString() << ": " << info.error.toStdString();
        EXPECT_NEAR(info.duration, 0.5, 0.06) << name.toStdString();
    }

    const QString log2 = runOnce().mid(log1.size());
    EXPECT_EQ(count(log2, QStringLiteral("-convert_to=")), 0) << log2.toStdString();
    EXPECT_EQ(QDir(dir.file("out1")).entryList(QDir::Files).size(), 3)
        << QDir(dir.file("out1")).entryList(QDir::Files).join(" | ").toStdString();
    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    EXPECT_EQ(headers.size(), 3);
    EXPECT_EQ(details.size(), 3);
}

TEST_F(FolderConversion, ConvertsFilesWhoseNamesAreAsLongAsTheFileSystemTakes) {
    // Target names of 250 and 255 bytes (accented letters take two bytes).
    QStringList names;
    for (const int bytes : {250, 255}) {
        QString name = QStringLiteral("Ann%1e ").arg(QChar(0xE9)) + QString(40, QChar(0xE8));
        name += QString(bytes - 4 - int(name.toUtf8().size()), QLatin1Char('z'));
        ASSERT_EQ((name + ".mp3").toUtf8().size(), bytes);
        source("in1/" + name + ".wav", 0.8);
        names << name;
    }
    runOnce();
    for (const QString& name : names) {
        const test::DecodedAudio a = test::decodeAudio(dir.file("out1/" + name + ".mp3"));
        ASSERT_TRUE(a.info.ok) << (name + ".mp3").toUtf8().size() << " bytes: " << a.info.error.toStdString();
        EXPECT_NEAR(a.info.duration, 0.8, 0.06);
        EXPECT_NEAR(a.rmsDb(0.1, 0.7), -9.03, 0.5);
    }
    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    ASSERT_EQ(details.size(), 2);
    for (const Detail& d : details)
        EXPECT_EQ(d.ok, QStringLiteral("O")) << d.message.toStdString();
}

TEST_F(FolderConversion, ConverterEndsWithTheKilledProgramAndTheNextRunConvertsTheFileOnce) {
    // With "Indexer", a target that a converter finished after the program's
    // end would be taken for an existing one and get a "(1)" copy.
    setCibleExistant(1);
    source("in1/long.wav", 150.0);
    QProcess program;
    startOnce(program);
    const QString partial = partialOf(program, dir.file("out1"), 120000);
    ASSERT_FALSE(partial.isEmpty()) << "no conversion seen";
    const qint64 converter = pidOf(partial);
    ASSERT_GT(converter, 0) << partial.toStdString();
    program.kill();
    ASSERT_TRUE(program.waitForFinished(10000));

    EXPECT_TRUE(waitFor([&] { return processEnded(converter); }, 60000));
    EXPECT_FALSE(QFile::exists(dir.file("out1/long.mp3"))) << "the converter outlived the program";
    EXPECT_EQ(partials(dir.file("out1")), QStringList()) << "the stopped converter removes its partial";

    runOnce();
    EXPECT_EQ(entries(dir.file("out1")), (QStringList{"Err_Convert", "long.mp3"}));
    const test::AudioInfo info = test::probeAudio(dir.file("out1/long.mp3"));
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_NEAR(info.duration, 150.0, 0.06);
}

TEST_F(FolderConversion, NextRunRemovesThePartialsOfConvertersThatNoLongerRun) {
    // A converter killed outright leaves its partial behind.
    const QString wav = dir.file("tmp/long.wav");
    ASSERT_FALSE(test::writeWav(wav, test::tone(440, 120.0)).isEmpty());
    test::backdateFile(wav, 120);
    QProcess killed;
    killed.start(QStringLiteral(KS3_BIN_DIR "/CoreConverter"),
                 {"-infile=" + wav, "-outfile=" + dir.file("out1/killed.mp3"), "-convert_to=mp3 (Lame)"});
    const QString left = partialOf(killed, dir.file("out1"), 60000);
    ASSERT_FALSE(left.isEmpty());
    const qint64 dead = killed.processId();
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(dir.file("out1/" + left)));
    // Older converters named their partial after the target.
    const QString oldName = QStringLiteral(".a.mp3.%1.part").arg(dead);
    dir.write("out1/" + oldName, "partial");
    // A converter still running (any live process will do) keeps its partial,
    // under either name; a name without a PID is none of the converters'.
    QProcess running;
    running.start(QStringLiteral("sleep"), {QStringLiteral("300")});
    ASSERT_TRUE(running.waitForStarted());
    const QStringList kept = {QStringLiteral(".CoreConverter.%1.part").arg(running.processId()),
                              QStringLiteral(".b.mp3.%1.part").arg(running.processId()),
                              QStringLiteral(".notes.part")};
    for (const QString& k : kept)
        dir.write("out1/" + k, "partial");

    source("in1/a.wav", 0.5);
    const QString log = runOnce();
    running.kill();
    running.waitForFinished();

    EXPECT_TRUE(test::probeAudio(dir.file("out1/a.mp3")).ok);
    QStringList expected = kept + QStringList{"Err_Convert", "a.mp3"};
    expected.sort();
    EXPECT_EQ(entries(dir.file("out1")), expected);
    EXPECT_TRUE(log.contains(dir.file("out1/" + left))) << "the removal is traced";
}

// ------------------------------------------------- several conversions at once

namespace {

// The converters that a program has going: each one's -outfile argument.
QStringList convertersOf(qint64 pid) {
    QStringList outfiles;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QByteArray stat =
            test::TempDir::read(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2 || fields.at(1).toLongLong() != pid || fields.at(0) == "Z")
            continue;
        const QList<QByteArray> args =
            test::TempDir::read(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline")).split('\0');
        if (args.isEmpty() || !args.first().endsWith("CoreConverter"))
            continue;
        for (const QByteArray& a : args)
            if (a.startsWith("-outfile="))
                outfiles << QString::fromUtf8(a.mid(9));
    }
    return outfiles;
}

class ParallelConversion : public FolderConversion {
protected:
    // Conversions a run may have going at once.
    void setSimultaneous(int n) {
        const QString ini = dir.file("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini");
        QByteArray text = test::TempDir::read(ini);
        text.replace("CibleExistant=0", "CibleExistant=0\r\nConversionsSimultanees=" + QByteArray::number(n));
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", text);
    }

    // Runs the program once, noting the converters going at every moment.
    QString runWatching(int expectedExit = 0, const std::function<void(const QStringList&)>& seen = {}) {
        maxAtOnce = 0;
        return runOnce(
            [&] {
                const QStringList now = convertersOf(runningPid);
                maxAtOnce = std::max(maxAtOnce, int(now.size()));
                if (seen)
                    seen(now);
            },
            expectedExit, true);
    }

    int maxAtOnce = 0;
};

} // namespace

// With one conversion at a time the trace shows each file's command, then its
// lines; with two, two converters run together and each file still gets its
// header, its detail and its lines.
TEST_F(ParallelConversion, ConvertersRunTogetherAndEveryFileIsRecorded) {
    for (int simultaneous : {1, 2}) {
        SCOPED_TRACE(simultaneous);
        QDir(dir.file("in1")).removeRecursively();
        QDir(dir.file("out1")).removeRecursively();
        QDir(prog + "BTRieve").removeRecursively();
        QDir(prog + "KS_Data").removeRecursively();
        const QString logBefore = todaysLog();
        setSimultaneous(simultaneous);
        const QStringList names{"p1", "p2", "p3", "p4"};
        for (const QString& n : names)
            source("in1/" + n + ".wav", 10.0);

        const QString log = runWatching().mid(logBefore.size());
        EXPECT_EQ(maxAtOnce, simultaneous);
        for (const QString& n : names) {
            const test::AudioInfo info = test::probeAudio(dir.file("out1/" + n + ".mp3"));
            ASSERT_TRUE(info.ok) << n.toStdString() << ": " << info.error.toStdString();
            EXPECT_NEAR(info.duration, 10.0, 0.06) << n.toStdString();
        }
        QList<Header> headers;
        QList<Detail> details;
        history(headers, details);
        EXPECT_EQ(headers.size(), names.size());
        ASSERT_EQ(details.size(), names.size());
        for (const Detail& d : details)
            EXPECT_EQ(d.ok, QStringLiteral("O")) << d.message.toStdString();
        for (const Header& h : headers)
            EXPECT_EQ(h.aConvertir, QStringLiteral("N")) << h.name.toStdString();

        // Each file's command, then the lines of its conversion after it.
        QStringList order;
        for (const QString& line : log.split(QLatin1Char('\n'))) {
            for (const QString& n : names) {
                if (line.contains(QStringLiteral("-infile=\"") + dir.file("in1/" + n + ".wav")))
                    order << QStringLiteral("start ") + n;
                if (line.contains(QStringLiteral("Fichier non encore traité: ") +
                                  dir.file("in1/" + n + ".wav")))
                    order << QStringLiteral("end ") + n;
            }
        }
        ASSERT_EQ(order.size(), 2 * names.size()) << order.join(", ").toStdString();
        for (const QString& n : names)
            EXPECT_LT(order.indexOf("start " + n), order.indexOf("end " + n))
                << order.join(", ").toStdString();
        if (simultaneous == 1)
            for (int i = 0; i < order.size(); i += 2)
                EXPECT_EQ(order[i].mid(6), order[i + 1].mid(4)) << order.join(", ").toStdString();
    }
}

// Stopped while two converters run, the run starts no other file, lets both
// finish and records them.
TEST_F(ParallelConversion, StopLetsTheConversionsUnderWayFinish) {
    setSimultaneous(2);
    for (int i = 1; i <= 6; ++i)
        source(QStringLiteral("in1/s%1.wav").arg(i), 10.0);
    bool stopped = false;
    const QString log = runWatching(1, [&](const QStringList& now) {
        if (!stopped && now.size() == 2) {
            test::signalProcess(runningPid, SIGTERM);
            stopped = true;
        }
    });
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(log.contains(QStringLiteral("Conversion stoppée")));
    const QStringList written = QDir(dir.file("out1")).entryList({QStringLiteral("*.mp3")}, QDir::Files);
    EXPECT_EQ(written.size(), 2) << written.join(", ").toStdString();
    for (const QString& f : written)
        EXPECT_TRUE(test::probeAudio(dir.file("out1/" + f)).ok) << f.toStdString();
    QList<Header> headers;
    QList<Detail> details;
    history(headers, details);
    ASSERT_EQ(details.size(), 2);
    for (const Detail& d : details)
        EXPECT_EQ(d.ok, QStringLiteral("O")) << d.message.toStdString();
    EXPECT_TRUE(partials(dir.file("out1")).isEmpty());
}

// Two sources of one target are never converted at once: the second one waits
// for the first, then gets the next free name.
TEST_F(ParallelConversion, TwoSourcesOfOneTargetAreNeverConvertedTogether) {
    setSimultaneous(3);
    source("in1/jingle.wav", 10.0);
    encode("in1/jingle.flac", "FLAC", {}, 10.0);
    source("in1/other.wav", 10.0);
    QStringList together;
    runWatching(0, [&](const QStringList& now) {
        if (now.count(dir.file("out1/jingle.mp3")) > 1)
            together = now;
    });
    EXPECT_TRUE(together.isEmpty()) << together.join(", ").toStdString();
    EXPECT_TRUE(test::probeAudio(dir.file("out1/jingle.mp3")).ok);
    EXPECT_TRUE(test::probeAudio(dir.file("out1/jingle(1).mp3")).ok);
    EXPECT_TRUE(test::probeAudio(dir.file("out1/other.mp3")).ok);
}
