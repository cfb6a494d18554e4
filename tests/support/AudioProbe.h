#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace ks3::test {

// What a sound file holds, as FFmpeg's demuxer and decoder see it.
struct AudioInfo {
    bool ok = false;
    QString error;        // why decoding failed when !ok
    QString codec;        // decoder name: "mp2", "mp3", "vorbis", "flac", "wmav2", "pcm_s16le", ...
    QString container;    // demuxer name: "wav", "w64", "aiff", "mp3", "ogg", "asf", "flac", ...
    QString sampleFormat; // decoder output format: "s16", "fltp", ...
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;          // coded sample size of PCM (0 for compressed codecs)
    std::int64_t bitRate = 0;       // bits per second: the stream's, else the container's
    double containerDuration = 0.0; // seconds, as the container states it (0 when unknown)
    double duration = 0.0;          // seconds, from the decoded samples
    std::int64_t frames = 0;        // decoded sample frames (samples per channel)
    int frameSize = 0;              // samples per channel of a codec frame (0 for PCM)
    double peakDb = -200.0;         // highest absolute sample, dBFS (-200 for silence)
    double rmsDb = -200.0;          // RMS over every sample of every channel, dBFS
};

// A decoded sound: the report plus every sample, as float interleaved by channel.
struct DecodedAudio {
    AudioInfo info;
    std::vector<float> samples;

    // RMS in dBFS of the span [fromSec, toSec) (toSec < 0: to the end).
    double rmsDb(double fromSec = 0.0, double toSec = -1.0) const;
    // Peak in dBFS of the span [fromSec, toSec).
    double peakDb(double fromSec = 0.0, double toSec = -1.0) const;
    // Mean power, in dB, of the spectrum between lowHz and highHz (mono mix,
    // Hann-windowed 4096-point FFT blocks). Compare two files' values rather
    // than reading one as an absolute level.
    double bandEnergyDb(double lowHz, double highHz) const;
    // Time in seconds of the first (last) sample whose magnitude reaches
    // thresholdDb on any channel; -1 when none does.
    double firstAboveDb(double thresholdDb) const;
    double lastAboveDb(double thresholdDb) const;
};

// Decodes the whole file (meant for short fixtures).
DecodedAudio decodeAudio(const QString& path);
// The report only.
AudioInfo probeAudio(const QString& path);

} // namespace ks3::test
