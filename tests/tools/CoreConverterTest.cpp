// Runs the real CoreConverter executable on generated sounds and checks the
// decoded results.

#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cmath>
#include <gtest/gtest.h>

using namespace ks3::test;

namespace {

const QChar Q = QLatin1Char('"');

QString q(const QString& s) {
    return Q + s + Q;
}

struct Result {
    int exitCode = -1;
    QString output;
};

Result runConverter(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(KS3_BIN_DIR "/CoreConverter"), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// The three file arguments, each as one argument with its quotes, as the
// program's command line writes them.
QStringList files(const QString& in, const QString& out, const QString& err) {
    return {"-infile=" + q(in), "-outfile=" + q(out), "-errorfile=" + q(err)};
}

// A generated WAV source, dated so that the converter does not take it for a
// file still being written.
QString source(const TempDir& dir, const QString& name, const SoundParams& params) {
    const QString p = writeWav(dir.file(name), params);
    EXPECT_FALSE(p.isEmpty());
    EXPECT_TRUE(backdateFile(p));
    return p;
}

QString effect(int n, const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\''), QStringLiteral("{qt}"));
    return QStringLiteral("-dspeffect%1=").arg(n) + q(t);
}

// Effect texts as the program builds them ('...' stands for {qt}).
QString trim(bool start, bool end, bool digital, int db = -50, int ms = 100) {
    QString t = QStringLiteral("Trim Silence=");
    if (!start)
        t += " -nobegin";
    if (!end)
        t += " -noend";
    if (digital)
        t += " -digsilence";
    return t + QStringLiteral(" -dbsilence='%1' -threshold='%2'").arg(db).arg(ms);
}

QString normalize(const QString& mode, double maxamp, int desired, int fixed = 0, int window = 6000) {
    return QStringLiteral(
               "Volume Normalize= -mode='%1' -maxamp='%2' -desiredb='%3' -adapt_wnd='%4' -fixed='%5'")
        .arg(mode)
        .arg(maxamp)
        .arg(desired)
        .arg(window)
        .arg(fixed);
}

QString equalizer(const QList<int>& tenths) {
    QStringList v;
    for (int b = 0; b < 18; ++b)
        v << QString::number(b < tenths.size() ? tenths[b] : 0);
    return "Graphic Equalizer= -EQ='" + v.join(", ") + "'";
}

const QStringList kWave16 = {"-convert_to=" + q("wave"), "-compression=\"PCM\"", "-bits=\"16\"",
                             "-freq=\"44100\""};

// Converts with effects to 16-bit WAV and decodes the result.
DecodedAudio withEffects(const TempDir& dir, const QString& src, const QStringList& effects,
                         const QString& name = "out.wav") {
    const QString out = dir.file("target/" + name);
    const Result r =
        runConverter(files(src, out, dir.file("target/Err_Convert/out.Log")) + effects + kWave16);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    return decodeAudio(out);
}

// Folder listing without "." and "..", hidden names included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// ---------------------------------------------------------------- target types

struct TargetCase {
    const char* label;
    const char* convertTo;
    QStringList settings;
    bool monoSource; // else stereo 44.1 kHz
    const char* codec;
    const char* container;
    int sampleRate;
    int channels;
    int bitRate;         // 0: not checked (lossless)
    int bits;            // PCM sample size, 0 for the others
    int toleranceFrames; // duration may differ by one codec frame (FFmpeg's Vorbis decoder drops
                         // 128 to 256 samples of a correct file, whatever wrote it)
    const char* extension;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << c.label;
}

class TargetTypes : public ::testing::TestWithParam<TargetCase> {};

TEST_P(TargetTypes, ProducesTheRequestedCodecAndCharacteristics) {
    const TargetCase& c = GetParam();
    TempDir dir;
    const QString src = c.monoSource ? source(dir, "src.wav", tone(1000, 1.0, dbToAmplitude(-6), 48000, 1))
                                     : source(dir, "src.wav", tone(1000, 1.0, dbToAmplitude(-6), 44100, 2));
    const QString out = dir.file(QStringLiteral("target/son.") + c.extension);
    const QString err = dir.file("target/Err_Convert/son.Log");
    QStringList args = files(src, out, err);
    args << "-convert_to=" + q(c.convertTo) << c.settings;
    const Result r = runConverter(args);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    ASSERT_TRUE(QFileInfo::exists(out));
    EXPECT_FALSE(QFileInfo(err).size() > 0);
    EXPECT_EQ(entries(dir.file("target")), QStringList{QFileInfo(out).fileName()})
        << "no temporary file left";

    const DecodedAudio a = decodeAudio(out);
    ASSERT_TRUE(a.info.ok) << a.info.error.toStdString();
    EXPECT_EQ(a.info.codec, c.codec);
    EXPECT_EQ(a.info.container, c.container);
    EXPECT_EQ(a.info.sampleRate, c.sampleRate);
    EXPECT_EQ(a.info.channels, c.channels);
    if (c.bitRate) {
        EXPECT_EQ(a.info.bitRate, c.bitRate);
    }
    if (c.bits) {
        EXPECT_EQ(a.info.bitsPerSample, c.bits);
    }
    EXPECT_NEAR(double(a.info.frames), double(c.sampleRate), c.toleranceFrames + 1) << "one second in";
    // The level goes through every sample format and channel mapping unchanged.
    const bool lossy = !a.info.codec.startsWith("pcm") && a.info.codec != "flac";
    EXPECT_NEAR(a.info.peakDb, -6.0, lossy ? 1.5 : c.bits == 8 ? 0.3 : 0.05);
    EXPECT_NEAR(a.rmsDb(0.2, 0.8), -9.03, lossy ? 0.5 : c.bits == 8 ? 0.3 : 0.05);
}

// The settings are those the program writes for each type and characteristic.
INSTANTIATE_TEST_SUITE_P(
    CoreConverter, TargetTypes,
    ::testing::Values(
        TargetCase{"Aiff16",
                   "Aiff",
                   {"-bits=\"16\"", "-freq=\"44100\"", "-channels=\"2\""},
                   true,
                   "pcm_s16be",
                   "aiff",
                   44100,
                   2,
                   0,
                   16,
                   0,
                   "aiff"},
        TargetCase{"Aiff8",
                   "Aiff",
                   {"-bits=\"8\"", "-freq=\"96000\"", "-channels=\"2\""},
                   false,
                   "pcm_s8",
                   "aiff",
                   96000,
                   2,
                   0,
                   8,
                   0,
                   "aiff"},
        TargetCase{"Aiff24",
                   "Aiff",
                   {"-bits=\"24\"", "-freq=\"48000\""},
                   false,
                   "pcm_s24be",
                   "aiff",
                   48000,
                   2,
                   0,
                   24,
                   0,
                   "aiff"},
        TargetCase{"Aiff32", "Aiff", {"-bits=\"32\""}, true, "pcm_s32be", "aiff", 48000, 1, 0, 32, 0, "aiff"},
        TargetCase{"Mp2",
                   "mp2",
                   {"-s=\"48000\"", "-b=\"256\"", "-c=\"2\""},
                   false,
                   "mp2",
                   "mp3",
                   48000,
                   2,
                   256000,
                   0,
                   1152,
                   "mp2"},
        TargetCase{"Mp2AsS48",
                   "mp2",
                   {"-s=\"48000\"", "-b=\"384\"", "-c=\"2\""},
                   true,
                   "mp2",
                   "mp3",
                   48000,
                   2,
                   384000,
                   0,
                   1152,
                   "s48"},
        TargetCase{"Mp3",
                   "mp3 (Lame)",
                   {"-s=\"44100\"", "-b=\"128\""},
                   true,
                   "mp3float",
                   "mp3",
                   44100,
                   1,
                   128000,
                   0,
                   1152,
                   "mp3"},
        TargetCase{"Mp3Stereo320",
                   "mp3 (Lame)",
                   {"-s=\"44100\"", "-b=\"320\""},
                   false,
                   "mp3float",
                   "mp3",
                   44100,
                   2,
                   320000,
                   0,
                   1152,
                   "mp3"},
        TargetCase{"VorbisManaged",
                   "Ogg Vorbis",
                   {"-q=\"0.8\"", "-b=\"256\"", "--managed"},
                   false,
                   "vorbis",
                   "ogg",
                   44100,
                   2,
                   256000,
                   0,
                   2048,
                   "ogg"},
        TargetCase{"VorbisLowest",
                   "Ogg Vorbis",
                   {"-q=\"-0.1\"", "-b=\"48\"", "--managed"},
                   false,
                   "vorbis",
                   "ogg",
                   44100,
                   2,
                   48000,
                   0,
                   2048,
                   "ogg"},
        TargetCase{"VorbisQuality",
                   "Ogg Vorbis",
                   {"-q=\"0.5\""},
                   true,
                   "vorbis",
                   "ogg",
                   48000,
                   1,
                   0,
                   0,
                   2048,
                   "ogg"},
        TargetCase{"Wave8",
                   "wave",
                   {"-compression=\"PCM\"", "-bits=\"8\"", "-freq=\"44100\""},
                   true,
                   "pcm_u8",
                   "wav",
                   44100,
                   1,
                   0,
                   8,
                   0,
                   "wav"},
        TargetCase{"Wave16",
                   "wave",
                   {"-compression=\"PCM\"", "-bits=\"16\"", "-freq=\"44100\""},
                   false,
                   "pcm_s16le",
                   "wav",
                   44100,
                   2,
                   0,
                   16,
                   0,
                   "wav"},
        TargetCase{"Wave24",
                   "wave",
                   {"-compression=\"PCM\"", "-bits=\"24\"", "-freq=\"44100\""},
                   true,
                   "pcm_s24le",
                   "wav",
                   44100,
                   1,
                   0,
                   24,
                   0,
                   "wav"},
        TargetCase{"Wave32",
                   "wave",
                   {"-compression=\"PCM\"", "-bits=\"32\"", "-freq=\"44100\""},
                   false,
                   "pcm_s32le",
                   "wav",
                   44100,
                   2,
                   0,
                   32,
                   0,
                   "wav"},
        TargetCase{"Wave64",
                   "Wave64",
                   {"-compression=\"PCM\"", "-bits=\"16\"", "-freq=\"44100\"", "-channels=\"2\""},
                   true,
                   "pcm_s16le",
                   "w64",
                   44100,
                   2,
                   0,
                   16,
                   0,
                   "w64"},
        TargetCase{"Wave64_24",
                   "Wave64",
                   {"-compression=\"PCM\"", "-bits=\"24\"", "-freq=\"44100\"", "-channels=\"2\""},
                   false,
                   "pcm_s24le",
                   "w64",
                   44100,
                   2,
                   0,
                   24,
                   0,
                   "w64"},
        TargetCase{"Wma",
                   "Windows Media Audio 10",
                   {"-codec=\"Windows Media Audio 10 Professional\"",
                    "-settings=\"256 kbps, 48 kHz, 2 channel 16 bit CBR\""},
                   false,
                   "wmav2",
                   "asf",
                   48000,
                   2,
                   256000,
                   0,
                   2048,
                   "wma"},
        TargetCase{"Flac", "FLAC", {"-compression-level-5"}, true, "flac", "flac", 48000, 1, 0, 0, 0, "flac"},
        TargetCase{"FlacStereo",
                   "FLAC",
                   {"-compression-level-5"},
                   false,
                   "flac",
                   "flac",
                   44100,
                   2,
                   0,
                   0,
                   0,
                   "flac"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CoreConverter, SuiteFormatIsWholeLayerTwoFramesWithNothingElse) {
    // 256 kbit/s at 48 kHz is exactly 768 bytes a frame; the suite derives the
    // duration from the size and cuts its energy levels at frame boundaries.
    TempDir dir;
    const QString src = source(dir, "src.wav", tone(440, 1.01, 0.5, 44100, 2));
    const QString out = dir.file("son.s48");
    const Result r = runConverter(files(src, out, dir.file("e.Log")) << "-convert_to=\"mp2\""
                                                                     << "-s=\"48000\""
                                                                     << "-b=\"256\""
                                                                     << "-c=\"2\"");
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    const QByteArray bytes = TempDir::read(out);
    ASSERT_GT(bytes.size(), 0);
    EXPECT_EQ(bytes.size() % 768, 0);
    EXPECT_EQ(quint8(bytes[0]), 0xFF) << "starts with a frame header, no tag";
    EXPECT_EQ(quint8(bytes[1]) & 0xFE, 0xFC) << "MPEG-1 Layer II";
    const AudioInfo a = probeAudio(out);
    EXPECT_NEAR(a.duration, 1.01, 1152.0 / 48000 + 1e-6);
    EXPECT_GE(a.duration, 1.01 - 1e-6) << "the last frame is padded, not dropped";
}

// ----------------------------------------------------------- command line forms

TEST(CoreConverter, AcceptsTheCommandLineWhateverWayItIsSplit) {
    TempDir dir;
    const QString src = source(dir, "dossier é/mon son.wav", tone(1000, 0.5, 0.5, 44100, 2));
    const QString out = dir.file("cible/mon son.mp3");
    const QString err = dir.file("cible/Err_Convert/mon son.Log");
    const QString line = "-infile=" + q(src) + " -outfile=" + q(out) + " -errorfile=" + q(err) + " " +
                         effect(1, trim(true, true, true)) + " " + effect(2, normalize("peak", 8, -3)) +
                         " -convert_to=" + q("mp3 (Lame)") + " -s=\"44100\" -b=\"192\"";
    const QList<QStringList> forms = {
        QProcess::splitCommand(line), // a caller that split the line: quotes removed
        {line},                       // the whole line as one argument
        // each option as one argument, quotes kept
        files(src, out, err) << effect(1, trim(true, true, true)) << effect(2, normalize("peak", 8, -3))
                             << "-convert_to=" + q("mp3 (Lame)") << "-s=\"44100\""
                             << "-b=\"192\"",
    };
    for (const QStringList& args : forms) {
        QFile::remove(out);
        const Result r = runConverter(args);
        ASSERT_EQ(r.exitCode, 0) << args.join(" | ").toStdString() << "\n" << r.output.toStdString();
        const DecodedAudio a = decodeAudio(out);
        EXPECT_EQ(a.info.bitRate, 192000);
        EXPECT_NEAR(a.info.peakDb, -3.0, 0.5);
    }
}

// --------------------------------------------------------------------- effects

TEST(CoreConverter, TrimRemovesLeadingAndTrailingSilence) {
    TempDir dir;
    SoundParams digital = tone(1000, 1.0, 0.5, 44100, 2);
    digital.leadingSilence = 0.5;
    digital.trailingSilence = 0.7;
    SoundParams hiss = digital; // the paddings hold noise at -70 dB: silence only for the threshold
    hiss.paddingAmplitude = dbToAmplitude(-70);
    SoundParams shortGap = digital; // 50 ms is below the 100 ms a silence must last
    shortGap.leadingSilence = 0.05;
    const QString d = source(dir, "digital.wav", digital);
    const QString h = source(dir, "hiss.wav", hiss);
    const QString s = source(dir, "short.wav", shortGap);

    struct Case {
        QString src;
        QString effect;
        double seconds;
        double firstSound; // where the tone starts in the output
    };
    const QList<Case> cases = {
        {d, trim(true, true, true), 1.0, 0.0},   {d, trim(true, true, false), 1.0, 0.0},
        {h, trim(true, true, false), 1.0, 0.0},  {h, trim(true, true, true), 2.2, 0.5},
        {d, trim(false, true, true), 1.5, 0.5},  {d, trim(true, false, true), 1.7, 0.0},
        {s, trim(true, true, true), 1.05, 0.05}, {h, trim(true, true, false, -80), 2.2, 0.5},
    };
    for (const Case& c : cases) {
        const DecodedAudio a = withEffects(dir, c.src, {effect(1, c.effect)});
        SCOPED_TRACE(c.effect.toStdString() + " on " + QFileInfo(c.src).fileName().toStdString());
        EXPECT_NEAR(a.info.duration, c.seconds, 0.002);
        EXPECT_NEAR(a.firstAboveDb(-40), c.firstSound, 0.002);
    }
}

TEST(CoreConverter, TrimKeepsALongQuietPassageInsideTheSoundIntact) {
    // A quiet run may be the end of the sound until a louder sample comes; a
    // long one is held outside memory and must come back whole.
    TempDir dir;
    SoundParams params = tone(500, 0.5, 0.5, 44100, 1);
    params.trailingSilence = 6.0; // more than the converter keeps in memory
    params.paddingAmplitude = dbToAmplitude(-60);
    QByteArray wav = makeWav(params);
    const QByteArray toneEnd = makeWav(tone(500, 0.5, 0.5, 44100, 1)).mid(44);
    wav.append(toneEnd);
    const quint32 data = quint32(wav.size() - 44);
    for (int i = 0; i < 4; ++i) {
        wav[40 + i] = char((data >> (8 * i)) & 0xff);
        wav[4 + i] = char(((data + 36) >> (8 * i)) & 0xff);
    }
    const QString src = dir.write("long.wav", wav);
    ASSERT_TRUE(backdateFile(src));
    const DecodedAudio in = decodeAudio(src);
    const DecodedAudio out = withEffects(dir, src, {effect(1, trim(true, true, false))});
    ASSERT_EQ(out.info.frames, in.info.frames);
    EXPECT_EQ(out.samples.size(), in.samples.size());
    EXPECT_EQ(out.samples, in.samples);
}

TEST(CoreConverter, PeakNormalisationReachesTheDesiredPeakWithinTheMaximumGain) {
    TempDir dir;
    const QString quiet = source(dir, "quiet.wav", tone(1000, 1.0, dbToAmplitude(-12), 44100, 2));
    const QString loud = source(dir, "loud.wav", noise(1.0, dbToAmplitude(-2), 44100, 2));
    struct Case {
        QString src;
        double maxamp;
        int desired;
        double expectedPeak;
    };
    const QList<Case> cases = {
        {quiet, 20, -1, -1.0}, // raised by 11 dB
        {quiet, 8, -1, -4.0},  // capped at +8 dB
        {quiet, 0, -1, -12.0}, // no gain allowed
        {loud, 8, -6, -6.0},   // lowered
        {quiet, 20, 0, 0.0},   // to full scale, without clipping
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("max %1 desired %2").arg(c.maxamp).arg(c.desired).toStdString());
        const DecodedAudio a = withEffects(dir, c.src, {effect(1, normalize("peak", c.maxamp, c.desired))});
        EXPECT_NEAR(a.info.peakDb, c.expectedPeak, 0.5);
    }
}

TEST(CoreConverter, FixedGainChangesTheLevelByItsValueUpToTheMaximum) {
    TempDir dir;
    const QString src = source(dir, "src.wav", tone(1000, 1.0, dbToAmplitude(-20), 44100, 2));
    const double before = decodeAudio(src).rmsDb();
    for (auto [fixed, maxamp, change] : {std::tuple{6, 8.0, 6.0}, {-6, 8.0, -6.0}, {12, 8.0, 8.0}}) {
        const DecodedAudio a = withEffects(dir, src, {effect(1, normalize("fixed", maxamp, 0, fixed))});
        EXPECT_NEAR(a.rmsDb() - before, change, 0.1) << fixed;
    }
}

TEST(CoreConverter, AverageNormalisationBringsTheLoudnessToTheTarget) {
    TempDir dir;
    // RMS -23 dB, peak -20 dB: +11 dB brings the RMS to -12 dB.
    const QString src = source(dir, "src.wav", tone(1000, 1.5, dbToAmplitude(-20), 44100, 2));
    DecodedAudio a = withEffects(dir, src, {effect(1, normalize("rg", 20, -12))});
    EXPECT_NEAR(a.rmsDb(), -12.0, 0.5);
    // A target the peak cannot reach without clipping stops at full scale.
    a = withEffects(dir, src, {effect(1, normalize("rg", 30, 0))});
    EXPECT_NEAR(a.info.peakDb, 0.0, 0.2);
}

TEST(CoreConverter, AdaptiveNormalisationRaisesQuietPassagesAndLowersLoudOnes) {
    TempDir dir;
    SoundParams quiet = tone(1000, 2.0, dbToAmplitude(-30), 22050, 1);
    SoundParams loud = tone(1000, 2.0, dbToAmplitude(-6), 22050, 1);
    QByteArray wav = makeWav(quiet);
    wav.append(makeWav(loud).mid(44));
    const quint32 data = quint32(wav.size() - 44);
    for (int i = 0; i < 4; ++i) {
        wav[40 + i] = char((data >> (8 * i)) & 0xff);
        wav[4 + i] = char(((data + 36) >> (8 * i)) & 0xff);
    }
    const QString src = dir.write("two.wav", wav);
    ASSERT_TRUE(backdateFile(src));
    const DecodedAudio a = withEffects(dir, src, {effect(1, normalize("adapt", 20, -15, 0, 1000))});
    // RMS of the centre of each half, away from the crossing.
    EXPECT_NEAR(a.rmsDb(0.3, 1.2), -15.0, 1.0);
    EXPECT_NEAR(a.rmsDb(2.8, 3.7), -15.0, 1.0);
    EXPECT_LE(a.info.peakDb, 0.0);
    EXPECT_NEAR(a.info.duration, 4.0, 1e-3);
}

TEST(CoreConverter, EqualiserBoostsAndCutsOnlyItsBands) {
    TempDir dir;
    const QString src = source(dir, "noise.wav", noise(1.5, 0.1, 44100, 1));
    const DecodedAudio in = decodeAudio(src);
    QList<int> bands(18, 0);
    bands[9] = 120;   // +12 dB at about 1150 Hz
    bands[14] = -120; // -12 dB at about 6 kHz
    const DecodedAudio out = withEffects(dir, src, {effect(1, equalizer(bands))});
    const auto change = [&](double lo, double hi) {
        return out.bandEnergyDb(lo, hi) - in.bandEnergyDb(lo, hi);
    };
    EXPECT_GT(change(1080, 1230), 9.0);
    EXPECT_LT(change(5600, 6400), -9.0);
    EXPECT_NEAR(change(100, 200), 0.0, 1.0);
    EXPECT_NEAR(change(14000, 18000), 0.0, 1.0);
}

TEST(CoreConverter, EffectsRunInTheirOrderAndNormalisationMeasuresWhatItIsGiven) {
    // A peak normalisation after a boost measures the boosted sound; before
    // it, the boost comes on top of the desired peak.
    TempDir dir;
    const QString src = source(dir, "noise.wav", noise(1.0, 0.1, 44100, 2));
    QList<int> bands(18, 0);
    bands[5] = 120;
    const QString eq = equalizer(bands), peak = normalize("peak", 20, -3);
    DecodedAudio a = withEffects(dir, src, {effect(1, eq), effect(2, peak)});
    EXPECT_NEAR(a.info.peakDb, -3.0, 0.5);
    a = withEffects(dir, src, {effect(1, peak), effect(2, eq)});
    EXPECT_GT(a.info.peakDb, -2.0);
}

// ---------------------------------------------------------------------- errors

TEST(CoreConverter, FailuresLeaveAnErrorFileAndNoOutput) {
    TempDir dir;
    const QString good = source(dir, "good.wav", tone(1000, 0.5));
    const QString bad = dir.write("bad.wav", QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
    ASSERT_TRUE(backdateFile(bad));
    const QString silent = source(dir, "silent.wav", silence(1.0));
    struct Case {
        const char* label;
        QStringList args; // after the file arguments
        QString src;
        int status;
        const char* says;
    };
    const QStringList mp3 = {"-convert_to=\"mp3 (Lame)\"", "-s=\"44100\"", "-b=\"128\""};
    const QList<Case> cases = {
        {"unreadable input", mp3, bad, 1, "bad.wav"},
        {"missing input", mp3, dir.file("none.wav"), 1, "none.wav"},
        {"unknown option", QStringList(mp3) << "-turbo=\"1\"", good, 2, "-turbo"},
        {"setting the type does not take", {"-convert_to=\"mp3 (Lame)\"", "-bits=\"16\""}, good, 2, "-bits"},
        {"unknown type", {"-convert_to=\"Opus\""}, good, 2, "Opus"},
        {"no type", {}, good, 2, "convert_to"},
        {"bit rate outside Layer II", {"-convert_to=\"mp2\"", "-s=\"48000\"", "-b=\"100\""}, good, 2, "-b"},
        {"bad effect parameter", QStringList(mp3) << effect(1, "Trim Silence= -fast"), good, 2, "-fast"},
        {"effect parameter of dashes only", QStringList(mp3) << effect(1, "Trim Silence= ---"), good, 2,
         "unexpected text \"---\""},
        {"unknown effect", QStringList(mp3) << effect(1, "Reverb= -room='5'"), good, 2, "Reverb"},
        {"short equaliser", QStringList(mp3) << effect(1, "Graphic Equalizer= -EQ='10, 20'"), good, 2, "-EQ"},
        {"encoder refuses",
         {"-convert_to=\"Ogg Vorbis\"", "-b=\"500\"", "--managed", "-c=\"1\""},
         good,
         1,
         "encoder"},
        {"nothing left after trimming", QStringList(mp3) << effect(1, trim(true, true, true)), silent, 1,
         "silence"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString folder = dir.file(QString("out-%1/").arg(c.label).replace(' ', '_'));
        const QString out = folder + "x.mp3";
        const QString err = folder + "Err_Convert/x.Log";
        const Result r = runConverter(files(c.src, out, err) + c.args);
        EXPECT_EQ(r.exitCode, c.status) << r.output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
        const QString report = QString::fromUtf8(TempDir::read(err));
        EXPECT_TRUE(report.contains(c.says, Qt::CaseInsensitive)) << report.toStdString();
        EXPECT_FALSE(entries(folder).join(" ").contains(".part")) << "temporary output removed";
    }
}

TEST(CoreConverter, RefusesASourceStillBeingWrittenAndTakesItLater) {
    TempDir dir;
    const QString src = writeWav(dir.file("new.wav"), tone(1000, 0.5)); // modified just now
    const QString out = dir.file("out/new.mp3");
    const QString err = dir.file("out/Err_Convert/new.Log");
    const QStringList args = files(src, out, err) << "-convert_to=\"mp3 (Lame)\""
                                                  << "-b=\"128\"";

    Result r = runConverter(args);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_TRUE(QString::fromUtf8(TempDir::read(err)).contains("modified"));

    ASSERT_TRUE(backdateFile(src));
    {
        QFile writer(src); // another program appending to it
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
        r = runConverter(args);
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_TRUE(QString::fromUtf8(TempDir::read(err)).contains("open for writing"));
    }
    {
        QFile reader(src); // a reader does not stop the conversion
        ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
        r = runConverter(args);
        EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(out));
    EXPECT_EQ(QFileInfo(err).size(), 0) << "the old report no longer applies";
}

TEST(CoreConverter, ReplacesAnExistingTargetOnlyWhenTheNewOneIsComplete) {
    TempDir dir;
    const QString out = dir.write("out/x.wav", "previous");
    const QString good = source(dir, "good.wav", tone(1000, 0.5, 0.5, 44100, 1));
    const QString bad = dir.write("bad.wav", "not a sound at all");
    ASSERT_TRUE(backdateFile(bad));
    Result r = runConverter(files(bad, out, dir.file("out/e.Log")) + kWave16);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(TempDir::read(out), QByteArray("previous"));
    r = runConverter(files(good, out, dir.file("out/e.Log")) + kWave16);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(probeAudio(out).frames, 22050);
}

TEST(CoreConverter, WritesEveryTargetNameTheFileSystemTakes) {
    // 255 bytes is the longest name; accented letters take two bytes each.
    TempDir dir;
    const QString src = source(dir, "src.wav", tone(1000, 0.5, 0.5, 44100, 2));
    for (const int bytes : {238, 251, 255}) {
        QString name = QString(60, QChar(0xE9)) + QStringLiteral(" titre ");
        name += QString(bytes - 4 - int(name.toUtf8().size()), QLatin1Char('x')) + ".mp3";
        ASSERT_EQ(name.toUtf8().size(), bytes);
        const QString out = dir.file("target/" + name);
        const Result r = runConverter(files(src, out, dir.file("e.Log")) << "-convert_to=\"mp3 (Lame)\""
                                                                         << "-b=\"128\"");
        ASSERT_EQ(r.exitCode, 0) << bytes << " bytes: " << r.output.toStdString();
        const DecodedAudio a = decodeAudio(out);
        EXPECT_NEAR(a.info.duration, 0.5, 0.06) << bytes;
        EXPECT_NEAR(a.rmsDb(0.1, 0.4), -9.03, 0.5) << bytes;
        EXPECT_EQ(entries(dir.file("target")), QStringList{name}) << "no temporary file left";
        QFile::remove(out);
    }
}

TEST(CoreConverter, ReadsTheSourceTypesOfTheProgram) {
    // Sources made by the converter itself in every type it writes, then read back.
    TempDir dir;
    const QString src = source(dir, "src.wav", tone(1000, 1.0, 0.5, 44100, 2));
    const QList<QStringList> makes = {
        {"a.aiff", "-convert_to=\"Aiff\""},
        {"a.mp2", "-convert_to=\"mp2\"", "-b=\"192\""},
        {"a.mp3", "-convert_to=\"mp3 (Lame)\"", "-b=\"128\""},
        {"a.ogg", "-convert_to=\"Ogg Vorbis\"", "-q=\"0.3\""},
        {"a.w64", "-convert_to=\"Wave64\""},
        {"a.wma", "-convert_to=\"Windows Media Audio 10\"",
         "-settings=\"128 kbps, 44 kHz, 2 channel 16 bit CBR\""},
        {"a.flac", "-convert_to=\"FLAC\""},
    };
    for (QStringList m : makes) {
        const QString name = m.takeFirst();
        const QString made = dir.file(name);
        ASSERT_EQ(runConverter(files(src, made, dir.file("e.Log")) + m).exitCode, 0) << name.toStdString();
        ASSERT_TRUE(backdateFile(made));
        const QString back = dir.file("back/" + name + ".wav");
        const Result r = runConverter(files(made, back, dir.file("e.Log")) + kWave16);
        ASSERT_EQ(r.exitCode, 0) << name.toStdString() << r.output.toStdString();
        const DecodedAudio a = decodeAudio(back);
        EXPECT_NEAR(a.info.duration, 1.0, 0.05) << name.toStdString();
        EXPECT_NEAR(a.rmsDb(0.2, 0.8), -9.03, 0.7) << name.toStdString();
    }
}
