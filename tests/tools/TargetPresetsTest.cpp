// Every target type at the characteristics selected with it, as the program
// passes them, run by the real CoreConverter on sounds of every common rate,
// mono and stereo. What the settings leave to the source (rate, channels) is
// kept unless the encoder cannot take the bit rate with it; the converter then
// takes the nearest rate (and stereo for mono) at which it can, and says so.

#include "engine/ConverterCommand.h"
#include "settings/TargetTypes.h"
#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

const int kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000};

// The rates at which Layer II and Vorbis take 256 kbit/s.
const int kRatesFor256[] = {32000, 44100, 48000};

int nearestRateFor256(int rate) {
    int best = kRatesFor256[0];
    for (const int r : kRatesFor256)
        if (std::abs(r - rate) < std::abs(best - rate))
            best = r;
    return best;
}

// The value of "-name=value" among the arguments, or 0.
int numberSetting(const QStringList& args, const QString& name) {
    for (const QString& a : args)
        if (a.startsWith(name + QLatin1Char('=')))
            return a.mid(name.size() + 1).toInt();
    return 0;
}

// What the output must be for a source of this rate and channel count.
struct Expected {
    int rate;
    int channels;
};

Expected expectedFor(int cible, const QStringList& args, int rate, int channels) {
    Expected e{rate, channels};
    if (const int s = numberSetting(args, "-s") + numberSetting(args, "-freq"))
        e.rate = s;
    if (const int c = numberSetting(args, "-c") + numberSetting(args, "-channels"))
        e.channels = c;
    if (cible == 6) // "256 kbps, 48 kHz, 2 channel 16 bit CBR"
        e = {48000, 2};
    if (cible == 3 || cible == kCibleS48) { // 256 kbit/s, rate and channels left to the source
        e.channels = 2;                     // mono cannot have 256 kbit/s in either
        e.rate = nearestRateFor256(rate);
    }
    return e;
}

class TargetPresets : public ::testing::TestWithParam<int> {};

TEST_P(TargetPresets, EveryCommonRateMonoOrStereoConvertsAtThePreset) {
    const TargetType* type = targetType(GetParam());
    ASSERT_NE(type, nullptr);
    ConverterOptions options;
    options.cible = type->code;
    options.caracteristiques = type->preset;
    const QStringList args = formatArguments(options, false);
    ASSERT_FALSE(args.isEmpty());
    SCOPED_TRACE(type->libelle.toStdString() + ": " + args.join(' ').toStdString());

    TempDir dir;
    for (const int rate : kRates) {
        for (const int channels : {1, 2}) {
            const std::string label = std::to_string(rate) + " Hz " + (channels == 1 ? "mono" : "stereo");
            SCOPED_TRACE(label);
            const QString name = QStringLiteral("%1-%2").arg(rate).arg(channels);
            const QString src =
                writeWav(dir.file(name + ".wav"), tone(1000, 0.3, dbToAmplitude(-6), rate, channels));
            ASSERT_TRUE(backdateFile(src));
            const QString out = dir.file("out/" + name + type->extension);

            QProcess p;
            p.start(QStringLiteral(KS3_BIN_DIR "/CoreConverter"),
                    QStringList{"-infile=" + src, "-outfile=" + out,
                                "-errorfile=" + dir.file("out/Err_Convert/" + name + ".Log")} +
                        args);
            ASSERT_TRUE(p.waitForFinished(60000));
            const QString said = QString::fromUtf8(p.readAllStandardOutput());
            const QString error =
                QString::fromUtf8(TempDir::read(dir.file("out/Err_Convert/" + name + ".Log")));
            ASSERT_EQ(p.exitCode(), 0) << error.toStdString() << said.toStdString();

            const DecodedAudio a = decodeAudio(out);
            ASSERT_TRUE(a.info.ok) << a.info.error.toStdString();
            const Expected e = expectedFor(type->code, args, rate, channels);
            EXPECT_EQ(a.info.sampleRate, e.rate);
            EXPECT_EQ(a.info.channels, e.channels);
            EXPECT_NEAR(a.info.duration, 0.3, 0.05);
            const bool lossless = a.info.codec.startsWith("pcm") || a.info.codec == "flac";
            EXPECT_NEAR(a.rmsDb(0.05, 0.25), -9.03, lossless ? 0.05 : 1.0);

            // A change of what the settings left to the source is told on the
            // standard output; a stereo source above 48000 Hz goes to Layer
            // II's highest rate without a word, as into every MPEG type.
            const bool open = type->code == 3 || type->code == kCibleS48;
            const bool mpegHighest = type->code == kCibleS48 && channels == 2 && rate > 48000;
            const bool resampled = open && e.rate != rate && !mpegHighest;
            EXPECT_EQ(said.contains(QStringLiteral("resampled to %1 Hz").arg(e.rate)), resampled)
                << said.toStdString();
            EXPECT_EQ(said.contains(QStringLiteral("written in stereo")), open && channels == 1)
                << said.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CoreConverter, TargetPresets, ::testing::Range(0, kNombreTypesCible),
                         [](const auto& info) {
                             return QString(targetType(info.param)->libelle)
                                 .remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")))
                                 .toStdString();
                         });

} // namespace
