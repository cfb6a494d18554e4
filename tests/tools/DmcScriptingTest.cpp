// The automation component dMCScripting and its server MusicConverter, driven
// late-bound through the program's client (engine/AutomationObject.h).
#include "common/ErrorRoutine.h"
#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"
#include "engine/AutomationObject.h"
#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Illustrate\\dBpowerAmp");

class DmcScriptingTest : public ::testing::Test {
protected:
    test::TempDir dir;
    ProgramValues saved = programValues();
    AutomationObject converter;

    void SetUp() override {
        programValues().dossierProgramme = dir.path();
        const QString prog = dir.file(QStringLiteral("Prog/"));
        QDir().mkpath(prog);
        ASSERT_TRUE(QFile::link(QStringLiteral(KS3_BIN_DIR "/MusicConverter"), prog + "MusicConverter"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/dMCScripting.so"), prog + "dMCScripting.so"));
        programValues().cheminConvertisseur = prog + QStringLiteral("MusicConverter");
        converter.create(QStringLiteral("dMCScripting.Converter"));
    }
    void TearDown() override {
        converter.release();
        programValues() = saved;
    }

    QString source(const QString& rel, double seconds = 1.0) {
        const QString p = test::writeWav(dir.file(rel), test::tone(440, seconds));
        test::backdateFile(p, 120);
        return p;
    }
    QStringList conversionErrors() {
        QStringList errors;
        if (!converter.call("WasConvError").toBool())
            return errors;
        for (int i = 0;; ++i) {
            const QString e = converter.call("GetConversionError", {i}).toString();
            if (e.isEmpty())
                return errors;
            errors << e;
        }
    }
    static int errorNumber(const std::function<void()>& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(DmcScriptingTest, ListsItsCodecs) {
    QStringList names;
    for (int i = 0; i < 10; ++i)
        names << converter.call("GetCompressions", {i}).toString();
    EXPECT_EQ(names.mid(0, 4), (QStringList{"Mp3 (Lame)", "Mp2", "Wave", ""}));
}

// Each codec takes its settings from the registry file: bit rate, rate and
// channels other than the program's own values show in the output.
TEST_F(DmcScriptingTest, ConvertsWithTheSettingsOfTheRegistry) {
    struct Row {
        const char* codec;
        QList<QPair<QString, int>> values;
        const char* output;
        const char* decoder;
        int rate;
        int channels;
        qint64 bitRate; // 0: not checked
    };
    const QList<Row> rows = {
        {"Mp2",
         {{"DMCMP2BitRate", 128}, {"DMCMP2Freq", 32000}, {"DMCMP2Channels", 3}},
         "a.mp2",
         "mp2",
         32000,
         1,
         128000},
        {"Wave",
         {{"DMCWaveBits", 24}, {"DMCWaveFreq", 22050}, {"DMCWaveChannels", 1}},
         "b.wav",
         "pcm_s24le",
         22050,
         1,
         0},
        {"Mp3 (Lame)", {}, "c.mp3", "mp3", 48000, 2, 160000},
    };
    AutomationObject mp3;
    mp3.create(QStringLiteral("dMCScripting.mp3Settings"));
    mp3.call("Set", {160, 48000, 0, 0});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.codec);
        for (const auto& [name, value] : row.values)
            EcrireRegistre(kKey, name, QString::number(value));
        const QString input = source(QStringLiteral("In/") + QLatin1String(row.output).left(1) + ".aif", 1.2);
        converter.setProperty("ConvertToFolder", true);
        converter.setProperty("ToFolder", dir.file(QStringLiteral("Out/")));
        QDir().mkpath(dir.file(QStringLiteral("Out")));
        converter.call("AddFromFile", {input});
        converter.call("GoConversion", {QLatin1String(row.codec), true, true, true, true});
        EXPECT_EQ(conversionErrors(), QStringList());
        const test::AudioInfo info =
            test::probeAudio(dir.file(QStringLiteral("Out/") + QLatin1String(row.output)));
        ASSERT_TRUE(info.ok) << info.error.toStdString();
        EXPECT_TRUE(info.codec.startsWith(QLatin1String(row.decoder))) << info.codec.toStdString();
        EXPECT_EQ(info.sampleRate, row.rate);
        EXPECT_EQ(info.channels, row.channels);
        if (row.bitRate)
            EXPECT_EQ(info.bitRate, row.bitRate);
        EXPECT_NEAR(info.duration, 1.2, 0.1);
        EXPECT_TRUE(QFile::exists(input));
    }
}

// Without ConvertToFolder the output goes beside its source; with
// DeleteSourceFiles the source goes once converted.
TEST_F(DmcScriptingTest, OutputBesideTheSourceAndSourceDeleted) {
    const QString input = source(QStringLiteral("In/d.wav"));
    converter.setProperty("ConvertToFolder", false);
    converter.setProperty("DeleteSourceFiles", true);
    converter.call("AddFromFile", {input});
    converter.call("GoConversion", {QStringLiteral("Mp2"), true, true, true, true});
    EXPECT_TRUE(test::probeAudio(dir.file(QStringLiteral("In/d.mp2"))).ok);
    EXPECT_FALSE(QFile::exists(input));
}

// What the converter refuses is listed by GetConversionError, with no output:
// a setting it does not take, a file that is not a sound, an unknown codec.
TEST_F(DmcScriptingTest, ReportsConversionErrors) {
    EcrireRegistre(kKey, QStringLiteral("DMCMP2BitRate"), QStringLiteral("999"));
    converter.setProperty("ConvertToFolder", true);
    converter.setProperty("ToFolder", dir.path());
    converter.call("AddFromFile", {source(QStringLiteral("In/e.wav"))});
    converter.call("GoConversion", {QStringLiteral("Mp2"), true, true, true, true});
    QStringList errors = conversionErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("-b"))) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("e.mp2"))));

    const QString notSound = dir.write(QStringLiteral("In/f.wav"), QByteArray(3000, 'x'));
    test::backdateFile(notSound, 120);
    converter.call("AddFromFile", {notSound});
    converter.call("GoConversion", {QStringLiteral("Wave"), true, true, true, true});
    errors = conversionErrors();
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors[0].startsWith(notSound + QStringLiteral(": Error:"))) << errors[0].toStdString();

    converter.call("AddFromFile", {source(QStringLiteral("In/g.wav"))});
    converter.call("GoConversion", {QStringLiteral("Vorbis"), true, true, true, true});
    EXPECT_EQ(conversionErrors(), QStringList{QStringLiteral("Unknown codec: Vorbis")});
}

// Failures of the calls themselves, with their automation numbers.
TEST_F(DmcScriptingTest, CallFailuresCarryTheirNumbers) {
    EXPECT_EQ(errorNumber([&] { converter.call("AddFromFile", {dir.file(QStringLiteral("missing.wav"))}); }),
              75);
    EXPECT_EQ(errorNumber([&] {
                  converter.setProperty("ToFolder", dir.file(QStringLiteral("no/such/folder/")));
                  converter.setProperty("ConvertToFolder", true);
                  converter.call("AddFromFile", {source(QStringLiteral("In/h.wav"))});
                  converter.call("GoConversion", {QStringLiteral("Mp2"), true, true, true, true});
              }),
              75);
    EXPECT_EQ(errorNumber([&] { converter.call("Play"); }), kErrNoSuchMember);
    EXPECT_EQ(errorNumber([&] { converter.setProperty("Speed", 2); }), kErrNoSuchMember);
    AutomationObject other;
    EXPECT_EQ(errorNumber([&] { other.create(QStringLiteral("dMCScripting.Player")); }), 429);
}

} // namespace
