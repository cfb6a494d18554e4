#pragma once

#include <QString>

namespace ks3::bench {

// Writes a 16-bit stereo 44.1 kHz WAV of music-like sound (two tones and some
// noise, different on each side; variant changes the tones and the noise, so
// that files of one batch differ) and dates it ten minutes back, since the
// converter refuses a file modified in the last seconds.
bool writeMusicWav(const QString& path, int seconds, int variant = 0);

} // namespace ks3::bench
