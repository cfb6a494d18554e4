#include "support/AudioProbe.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ks3::test;

// The fixtures and the probe are what every sound test relies on: a wrong
// level or length here would make those tests pass or fail for no reason.
TEST(SoundSupport, GeneratedToneDecodesWithItsLevelLengthAndPaddings) {
    TempDir dir;
    SoundParams params = tone(1000.0, 1.0, dbToAmplitude(-6.0), 48000, 2);
    params.leadingSilence = 0.25;
    params.trailingSilence = 0.5;
    const QString path = writeWav(dir.file("a/tone.wav"), params);
    ASSERT_FALSE(path.isEmpty());

    const DecodedAudio a = decodeAudio(path);
    ASSERT_TRUE(a.info.ok) << a.info.error.toStdString();
    EXPECT_EQ(a.info.codec, "pcm_s16le");
    EXPECT_EQ(a.info.container, "wav");
    EXPECT_EQ(a.info.sampleRate, 48000);
    EXPECT_EQ(a.info.channels, 2);
    EXPECT_EQ(a.info.bitRate, 48000 * 2 * 16);
    EXPECT_EQ(a.info.frames, 48000 * 7 / 4);
    EXPECT_NEAR(a.info.peakDb, -6.0, 0.01);
    EXPECT_NEAR(a.rmsDb(0.25, 1.25), -6.0 - 3.01, 0.05); // sine RMS is peak / sqrt(2)
    EXPECT_NEAR(a.firstAboveDb(-60.0), 0.25, 0.001);
    EXPECT_NEAR(a.lastAboveDb(-60.0), 1.25, 0.001);
    EXPECT_LT(a.peakDb(1.3, -1), -150.0);
    EXPECT_GT(a.bandEnergyDb(900, 1100), a.bandEnergyDb(3000, 6000) + 40.0);
}

TEST(SoundSupport, SampleSizesAndNoiseAndBackdating) {
    TempDir dir;
    for (int bits : {8, 24, 32}) {
        SoundParams params = noise(0.5, 0.25, 22050, 1);
        params.bits = bits;
        const DecodedAudio a = decodeAudio(writeWav(dir.file(QString("n%1.wav").arg(bits)), params));
        ASSERT_TRUE(a.info.ok) << bits;
        EXPECT_EQ(a.info.bitsPerSample, bits);
        EXPECT_EQ(a.info.channels, 1);
        EXPECT_NEAR(a.info.peakDb, -12.04, 0.2) << bits;
        // White noise spreads over the spectrum: two equal-width bands are close.
        EXPECT_NEAR(a.bandEnergyDb(1000, 3000), a.bandEnergyDb(6000, 8000), 3.0) << bits;
    }
    const QString p = writeWav(dir.file("s.wav"), silence(0.1));
    EXPECT_EQ(probeAudio(p).peakDb, -200.0);
    ASSERT_TRUE(backdateFile(p, 120));
    EXPECT_GT(QFileInfo(p).lastModified().secsTo(QDateTime::currentDateTime()), 100);
    EXPECT_FALSE(probeAudio(dir.file("missing.wav")).ok);
}
