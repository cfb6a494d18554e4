// The whole folder conversion, through the real program and the real converter:
// KS3_Tools_Convert --once on a program folder of its own.
#include "common/ProgramValues.h"
#include "common/Text1252.h"
#include "platform/Btrcall.h"
#include "settings/WorkingFolders.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordFiles.h"
#include "support/AudioProbe.h"
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

#include <cerrno>
#include <csignal>
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
        dir.write("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini", toCp1252(ini));
        QDir().mkpath(dir.file("in1"));
        QDir().mkpath(dir.file("in2"));
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
    }

    // Runs the program once; whileRunning is called about every 100 ms until it ends.
    QString runOnce(const std::function<void()>& whileRunning = {}) {
        QProcess p;
        startOnce(p);
        QElapsedTimer elapsed;
        elapsed.start();
        while (!p.waitForFinished(100) && elapsed.elapsed() < 300000)
            if (whileRunning)
                whileRunning();
        EXPECT_EQ(p.state(), QProcess::NotRunning);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
        return todaysLog();
    }

    QString todaysLog() const {
        QString text;
        QDirIterator it(prog, {QStringLiteral("*.Log")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.contains(QStringLiteral("Err_Convert")))
                text += fromCp1252(test::TempDir::read(f));
        }
        return text;
    }

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
    QString partial;
    ASSERT_TRUE(waitFor(
        [&] {
            const QStringList found = partials(dir.file("out1"));
            partial = found.isEmpty() ? QString() : found.first();
            return !partial.isEmpty() || program.state() == QProcess::NotRunning;
        },
        120000));
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
    QString left;
    ASSERT_TRUE(waitFor(
        [&] {
            const QStringList found = partials(dir.file("out1"));
            left = found.isEmpty() ? QString() : found.first();
            return !left.isEmpty() || killed.state() == QProcess::NotRunning;
        },
        60000));
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
