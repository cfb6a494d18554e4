// The older converter's path: LancerConvertV09 through the real automation
// component (the dMCScripting plugin) and its real MusicConverter server.
#include "engine/LancerConvertV09.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "settings/Settings.h"
#include "support/AudioProbe.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/SignalProcess.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace ks3;

namespace {

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Illustrate\\dBpowerAmp");
const QString kReinstall =
    QStringLiteral("Erreur Automation: veuillez-(ré)installer Music Converter (Line: 0)");
const QString kDisconnected = QStringLiteral("Impossible de répérer la piste sur ce poste. (Line: 0)");
const QString kSeparator = QStringLiteral("---------------------");

// Kills the first MusicConverter process this test starts once it has begun
// writing its output into folder: the automation object's server going away
// in the middle of a conversion.
class ServerKiller {
public:
    explicit ServerKiller(const QString& folder)
        : thread_([this, folder] {
              while (!stop_ && !killed_) {
                  const pid_t pid = childServer();
                  if (pid && QFile::exists(folder + QStringLiteral("/.CoreConverter.") +
                                           QString::number(pid) + QStringLiteral(".part"))) {
                      test::signalProcess(pid, SIGKILL);
                      killed_ = true;
                  }
                  ::usleep(200);
              }
          }) {}
    ~ServerKiller() {
        stop_ = true;
        thread_.join();
    }
    bool killed() const { return killed_; }

private:
    static pid_t childServer() {
        DIR* proc = ::opendir("/proc");
        if (!proc)
            return 0;
        pid_t found = 0;
        while (dirent* e = ::readdir(proc)) {
            const pid_t pid = pid_t(std::atoi(e->d_name));
            if (pid <= 0)
                continue;
            std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
            std::string line;
            std::getline(stat, line);
            // pid (comm) state ppid ...
            const auto close = line.rfind(')');
            if (close == std::string::npos || line.find("(MusicConverter)") == std::string::npos)
                continue;
            std::istringstream rest(line.substr(close + 2));
            char state = 0;
            pid_t ppid = 0;
            rest >> state >> ppid;
            if (ppid == ::getpid()) {
                found = pid;
                break;
            }
        }
        ::closedir(proc);
        return found;
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> killed_{false};
    std::thread thread_;
};

class LancerConvertV09Test : public ::testing::Test {
protected:
    test::TempDir dir;
    ScriptedMessageBoxService boxes;
    int focused = 0; // the main window given the focus
    test::ServicesGuard services{[this](Services& s) {
        s.questions = &boxes;
        s.mainWindowFocus = [this] { ++focused; };
    }};
    ProgramValues savedValues = programValues();
    WorkingFolders savedFolders = workingFolders();
    QString prog;

    void SetUp() override {
        resetTraceLog();
        traceLists().frmSetupCharge = true;
        programValues().dossierProgramme = dir.path();
        programValues().noInstance = 0;
        DossierSettings().clear();
        workingFolders().logTechFolder = dir.file(QStringLiteral("Logs/"));
        QDir().mkpath(workingFolders().logTechFolder);
        prog = dir.file(QStringLiteral("Prog/"));
        install(true, true);
    }

    void TearDown() override {
        settings().reinitialiser();
        settings().setSetupModifie(false);
        resetTraceLog();
        programValues() = savedValues;
        workingFolders() = savedFolders;
        DossierSettings().clear();
    }

    // The older converter installed in Prog/: its program and its component.
    void install(bool server, bool plugin) {
        QDir().mkpath(prog);
        if (server) {
            ASSERT_TRUE(QFile::link(QStringLiteral(KS3_BIN_DIR "/MusicConverter"), prog + "MusicConverter"));
        }
        if (plugin) {
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(KS3_BIN_DIR "/dMCScripting.so"), prog + "dMCScripting.so"));
        }
        programValues().convertisseurLigneCommande = false;
        programValues().cheminConvertisseur = prog + QStringLiteral("MusicConverter");
    }

    QString wav(const QString& rel, double seconds = 1.0) {
        const QString p = test::writeWav(dir.file(rel), test::tone(440, seconds));
        test::backdateFile(p, 120);
        return p;
    }
    QString garbage(const QString& rel) {
        const QString p = dir.write(rel, QByteArray(4000, 'x'));
        test::backdateFile(p, 120);
        return p;
    }
    static QString reg(const char* name) { return LireRegistre(kKey, QLatin1String(name)); }
    QStringList messages() const {
        QStringList m;
        for (const ChoiceBoxRequest& r : boxes.seen())
            m << r.message;
        return m;
    }
    // Every trace line so far: those written to the day's file and those waiting.
    static QStringList tracedAll() {
        QStringList lines;
        QDir logs(workingFolders().logTechFolder);
        for (const QString& f : logs.entryList({QStringLiteral("*.Log")}, QDir::Files))
            lines += QString::fromLatin1(test::TempDir::read(logs.filePath(f))).split(QStringLiteral("\r\n"));
        return lines + test::tracedLines();
    }
    static int traced(const QString& text) {
        int n = 0;
        for (const QString& l : tracedAll())
            n += l.contains(text) ? 1 : 0;
        return n;
    }
    void convert(const QString& source, const QString& target, bool udp = false) {
        LancerConvertV09(QStringLiteral("0000000001"), source, target, QDateTime(), 0, udp);
    }
};

// Each target type the converter writes: the registry values of the codec,
// the output under the target's name, decoded with the codec and rate asked.
TEST_F(LancerConvertV09Test, WritesEachCodecWithItsSettings) {
    struct Row {
        int cible;
        int caracteristiques; // -1: none selected
        const char* extension;
        const char* lastCodec; // "": nothing written for the codec
        const char* freqValue;
        const char* codec;
        int rate;
    };
    const Row rows[] = {
        {8, -1, ".s48", "Mp2", "DMCMP2Freq", "mp2", 44100},
        {1, 2, ".mp2", "Mp2", "DMCMP2Freq", "mp2", 48000},
        {2, 1, ".mp3", "", "DMCMP3Freq", "mp3", 44100},
        {4, 1, ".wav", "Wave", "DMCWaveFreq", "pcm_s16le", 44100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension);
        QFile::remove(registryFile());
        settings().choisirCible(row.cible);
        if (row.caracteristiques >= 0)
            settings().setNumber(SettingId::FichiersCibleCaracteristiques, 0, row.caracteristiques);
        EXPECT_EQ(settings().cibleCaracteristiques(), row.caracteristiques);
        const QString name = QStringLiteral("song") + QString::number(row.cible);
        const QString source = wav(QStringLiteral("In/") + name + QStringLiteral(".aif"), 1.5);
        const QString target = dir.file(QStringLiteral("Out/") + name + QLatin1String(row.extension));
        // An older target is replaced.
        dir.write(QStringLiteral("Out/") + name + QLatin1String(row.extension), "old");
        convert(source, target);

        EXPECT_EQ(reg("dMCLastCodec"), QLatin1String(row.lastCodec));
        EXPECT_EQ(reg(row.freqValue), QString::number(row.rate));
        const test::AudioInfo info = test::probeAudio(target);
        ASSERT_TRUE(info.ok) << info.error.toStdString();
        EXPECT_TRUE(info.codec.startsWith(QLatin1String(row.codec))) << info.codec.toStdString();
        EXPECT_EQ(info.sampleRate, row.rate);
        EXPECT_NEAR(info.duration, 1.5, 0.1);
        EXPECT_TRUE(QFile::exists(source)) << "source kept without FichiersSources.Detruire";
        if (row.cible == 8) {
            EXPECT_EQ(reg("DMCMP2BitRate"), QStringLiteral("256"));
            EXPECT_EQ(reg("DMCMP2Channels"), QStringLiteral("0"));
            EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Out/") + name + QStringLiteral(".mp2"))))
                << "the converter's .mp2 output takes the .s48 name";
        }
    }
    EXPECT_EQ(traced(QStringLiteral("Convert: Source file: ")), 4);
    EXPECT_EQ(traced(QStringLiteral("Convert: Target file: ")), 4);
    EXPECT_EQ(focused, 4);
}

// A UDP request converts at 48000 Hz whatever the options, keeps its source
// even with FichiersSources.Detruire on, and never deletes an empty target.
TEST_F(LancerConvertV09Test, UdpRequestAt48000KeepingSourceAndEmptyTarget) {
    settings().choisirCible(0); // AIFF, 192000 Hz at index 3
    settings().setNumber(SettingId::FichiersCibleCaracteristiques, 0, 3);
    settings().setNumber(SettingId::FichiersSourcesDetruire, 0, 1);
    const QString source = wav(QStringLiteral("Sons/JIN00123.wav"));
    const QString target = dir.file(QStringLiteral("Out/JIN00123.s48"));
    convert(source, target, true);
    const test::AudioInfo info = test::probeAudio(target);
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_TRUE(info.codec.startsWith(QStringLiteral("mp2"))) << info.codec.toStdString();
    EXPECT_EQ(info.sampleRate, 48000);
    EXPECT_EQ(reg("DMCMP2Freq"), QStringLiteral("48000"));
    EXPECT_TRUE(QFile::exists(source));

    const QString bad = garbage(QStringLiteral("Sons/JIN00124.ogg"));
    const QString empty = dir.write(QStringLiteral("Out/JIN00124.s48"), QByteArray());
    convert(bad, empty, true);
    EXPECT_TRUE(QFile::exists(empty)) << "an empty target stays on a request";
    EXPECT_TRUE(QFile::exists(bad));
    // The converter's report, between separators.
    EXPECT_GE(traced(kSeparator), 2);
    EXPECT_GE(traced(QStringLiteral("JIN00124.ogg: Error:")), 1);
}

// Failures and the second attempt under the ".wav" name: which sources are
// renamed, how many attempts the converter's error reports show.
TEST_F(LancerConvertV09Test, SecondAttemptUnderTheWavName) {
    struct Row {
        const char* source;
        bool wavExists;
        const char* remains;  // the source's name afterwards
        int attemptsReported; // error reports of the converter
    };
    const Row rows[] = {
        {"a.mp3", false, "a.wav", 2},
        {"b.mp2", false, "b.wav", 2},
        {"c.mp3", true, "c.mp3", 1},
        {"d.ogg", false, "d.ogg", 1},
    };
    settings().choisirCible(2);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        resetTraceLog();
        traceLists().frmSetupCharge = true;
        const QString source = garbage(QStringLiteral("In/") + QLatin1String(row.source));
        const QString base = QFileInfo(source).completeBaseName();
        if (row.wavExists)
            dir.write(QStringLiteral("In/") + base + QStringLiteral(".wav"), "other");
        convert(source, dir.file(QStringLiteral("Out/") + base + QStringLiteral(".mp3")));
        EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("In/") + QLatin1String(row.remains))));
        EXPECT_EQ(traced(QStringLiteral(": Error:")), row.attemptsReported);
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Out/") + base + QStringLiteral(".mp3"))));
    }
}

// Target types the automation converter does not write: no conversion is
// started; an ".mp3" source still takes its ".wav" name and stays so.
TEST_F(LancerConvertV09Test, NoConversionForOtherTypes) {
    for (const char* extension : {".aiff", ".ogg", ".w64", ".wma", ".flac"}) {
        SCOPED_TRACE(extension);
        const QString name = QString::fromLatin1(extension).mid(1);
        const QString source = wav(QStringLiteral("In/") + name + QStringLiteral(".mp3"));
        const QString target = dir.file(QStringLiteral("Out/") + name + QLatin1String(extension));
        convert(source, target);
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_FALSE(QFile::exists(source));
        EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("In/") + name + QStringLiteral(".wav"))));
        EXPECT_TRUE(QDir(dir.file(QStringLiteral("Out"))).entryList(QDir::Files).isEmpty());
    }
}

// An empty target left from before is deleted after a failed attempt of a
// run, so that "Ne pas convertir si la cible existe" does not skip the file
// at the next run; an earlier target with content is neither deleted nor
// taken for the result of a failed attempt (the source stays).
TEST_F(LancerConvertV09Test, TargetsOfFailedAttempts) {
    settings().setNumber(SettingId::FichiersSourcesDetruire, 0, 1);
    const QString empty = dir.write(QStringLiteral("Out/e.mp3"), QByteArray());
    const QString e = garbage(QStringLiteral("In/e.ogg"));
    convert(e, empty);
    EXPECT_FALSE(QFile::exists(empty));
    EXPECT_TRUE(QFile::exists(e));

    const QString earlier = dir.write(QStringLiteral("Out/f.mp3"), "an earlier conversion");
    const QString f = garbage(QStringLiteral("In/f.ogg"));
    convert(f, earlier);
    EXPECT_EQ(test::TempDir::read(earlier), QByteArray("an earlier conversion"));
    EXPECT_TRUE(QFile::exists(f)) << "a failed conversion must not delete its source";
}

// With "Ne pas convertir si la cible existe", an existing target (even empty)
// stops the call before anything, trace lines included.
TEST_F(LancerConvertV09Test, GuardOfAnExistingTarget) {
    settings().setNumber(SettingId::FichiersCiblesNePasConverir, 0, 1);
    const QString target = dir.write(QStringLiteral("Out/g.mp3"), QByteArray());
    const QString source = wav(QStringLiteral("In/g.wav"));
    convert(source, target);
    EXPECT_EQ(QFileInfo(target).size(), 0);
    EXPECT_EQ(traced(QStringLiteral("Convert: ")), 0);
}

// The component missing, not a plugin, or without its server program: the
// reinstall message, and nothing converted.
TEST_F(LancerConvertV09Test, ComponentThatCannotBeLoaded) {
    struct Row {
        const char* name;
        bool server;
        bool plugin;
        const char* pluginBytes; // written as the plugin file when not null
    };
    const Row rows[] = {
        {"missing", true, false, nullptr},
        {"not a plugin", true, false,
         "\x7f"
         "ELF but not a library"},
        {"no server", false, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        boxes.clear();
        prog = dir.file(QStringLiteral("Prog-") + QString::number(&row - rows) + QLatin1Char('/'));
        install(row.server, row.plugin);
        if (row.pluginBytes)
            dir.write(QStringLiteral("Prog-") + QString::number(&row - rows) +
                          QStringLiteral("/dMCScripting.so"),
                      row.pluginBytes);
        const QString source =
            wav(QStringLiteral("In/") + QString::number(&row - rows) + QStringLiteral(".wav"));
        const QString target =
            dir.file(QStringLiteral("Out/") + QString::number(&row - rows) + QStringLiteral(".mp2"));
        convert(source, target);
        EXPECT_EQ(messages(), QStringList{kReinstall});
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_TRUE(QFile::exists(source));
    }
}

// The object's server killed in the middle of the first conversion: the
// disconnection message; the ".mp3" source then takes its ".wav" name, the
// second attempt converts it and, with FichiersSources.Detruire on, deletes
// it under that name.
TEST_F(LancerConvertV09Test, ServerGoneThenSecondAttemptSucceeds) {
    settings().choisirCible(2);
    settings().setNumber(SettingId::FichiersSourcesDetruire, 0, 1);
    const QString source = wav(QStringLiteral("In/h.mp3"), 20.0);
    const QString target = dir.file(QStringLiteral("Out/h.mp3"));
    {
        QDir().mkpath(dir.file(QStringLiteral("Out")));
        ServerKiller killer(dir.file(QStringLiteral("Out")));
        convert(source, target);
        EXPECT_TRUE(killer.killed());
    }
    EXPECT_EQ(messages(), QStringList{kDisconnected});
    const test::AudioInfo info = test::probeAudio(target);
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_TRUE(info.codec.startsWith(QStringLiteral("mp3"))) << info.codec.toStdString();
    EXPECT_NEAR(info.duration, 20.0, 0.2);
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("In/h.wav"))));
    // Nothing left of the killed server's partial output.
    EXPECT_EQ(QDir(dir.file(QStringLiteral("Out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("h.mp3")});
}

// A target folder that cannot be made (a file stands in its path): the
// component's path error 75 goes to the error routine and the call ends
// without a conversion.
TEST_F(LancerConvertV09Test, PathTheComponentCannotReach) {
    dir.write(QStringLiteral("Blocked"), "a file, not a folder");
    const QString source = wav(QStringLiteral("In/i.wav"));
    convert(source, dir.file(QStringLiteral("Blocked/Out/i.mp2")));
    EXPECT_GE(traced(QStringLiteral("Err:75 (Path/File access error")), 1)
        << tracedAll().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(traced(QStringLiteral("Source:FrmMain Sub:LancerConvertV09_Convert:60")), 1);
    EXPECT_FALSE(messages().contains(kReinstall));
    EXPECT_FALSE(messages().contains(kDisconnected));
    EXPECT_TRUE(QFile::exists(source));
}

// A source in the target folder under the codec's extension: the converter
// never writes its output over the sound it reads. The first attempt is
// refused, the source takes its ".wav" name and the second one converts it, so
// that deleting the source (FichiersSources.Detruire) never deletes the result.
TEST_F(LancerConvertV09Test, OutputNeverReplacesItsSource) {
    settings().setNumber(SettingId::FichiersSourcesDetruire, 0, 1);
    const QString source = wav(QStringLiteral("Out/k.mp3"), 1.2);
    convert(source, source);
    EXPECT_GE(traced(QStringLiteral("k.mp3: Error: the output would replace the source file")), 1);
    const test::AudioInfo info = test::probeAudio(dir.file(QStringLiteral("Out/k.mp3")));
    ASSERT_TRUE(info.ok) << info.error.toStdString();
    EXPECT_TRUE(info.codec.startsWith(QStringLiteral("mp3"))) << info.codec.toStdString();
    EXPECT_NEAR(info.duration, 1.2, 0.1);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Out/k.wav"))));
}

} // namespace
