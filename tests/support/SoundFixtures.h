#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace ks3::test {

// What a generated sound holds between its silence paddings.
enum class Signal { Tone, Silence, Noise };

// Description of a generated PCM WAV file. The defaults give one second of a
// 1 kHz stereo tone at half scale, 16-bit, 44.1 kHz.
struct SoundParams {
    int sampleRate = 44100;
    int channels = 2;
    double seconds = 1.0; // length of the signal, paddings excluded
    Signal signal = Signal::Tone;
    std::vector<double> frequencies{1000.0}; // tones are summed, each at amplitude / count
    double amplitude = 0.5;                  // linear peak of the signal, 0..1 of full scale
    double leadingSilence = 0.0;             // seconds of padding before the signal
    double trailingSilence = 0.0;
    double paddingAmplitude = 0.0;  // 0: digital silence; else low noise of this peak in the paddings
    int bits = 16;                  // 8 (unsigned), 16, 24 or 32 (signed integer PCM)
    std::uint32_t noiseVariant = 1; // which noise: the same variant always gives the same bytes
};

// Linear amplitude of a level in dB relative to full scale (dbToAmplitude(-6) ~ 0.5).
double dbToAmplitude(double db);

// The whole WAV file image described by params.
QByteArray makeWav(const SoundParams& params);

// Writes the WAV file (creating its folder) and returns its path, or an empty
// text when it could not be written.
QString writeWav(const QString& path, const SoundParams& params = SoundParams());

// Moves the file's modification time the given number of seconds into the
// past. The converter refuses a source modified in the last few seconds (it may
// still be being written), so a fixture meant to be converted is backdated.
bool backdateFile(const QString& path, int seconds = 60);

// Shorthands for the common fixtures.
SoundParams tone(double frequency, double seconds = 1.0, double amplitude = 0.5, int sampleRate = 44100,
                 int channels = 2);
SoundParams silence(double seconds = 1.0, int sampleRate = 44100, int channels = 2);
SoundParams noise(double seconds = 1.0, double amplitude = 0.5, int sampleRate = 44100, int channels = 2);

} // namespace ks3::test
