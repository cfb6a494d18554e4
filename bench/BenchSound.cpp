#include "BenchSound.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <cmath>
#include <numbers>

namespace ks3::bench {

bool writeMusicWav(const QString& path, int seconds, int variant) {
    const int rate = 44100, channels = 2;
    const quint32 frames = quint32(rate) * quint32(seconds);
    const quint32 bytes = frames * channels * 2;
    QByteArray b;
    b.reserve(int(44 + bytes));
    auto put16 = [&](quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)), put16(quint16(v >> 16)); };
    b.append("RIFF");
    put32(36 + bytes);
    b.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(channels);
    put32(rate);
    put32(rate * channels * 2);
    put16(channels * 2);
    put16(16);
    b.append("data");
    put32(bytes);
    quint32 s = 12345 + quint32(variant);
    for (quint32 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        for (int c = 0; c < channels; ++c) {
            s ^= s << 13, s ^= s >> 17, s ^= s << 5;
            const double n = double(s) / 4294967296.0 - 0.5;
            const double x = 0.3 * std::sin(2 * std::numbers::pi * (220.0 + 10 * variant + 110 * c) * t) +
                             0.2 * std::sin(2 * std::numbers::pi * 1330.0 * t * (1 + 0.001 * std::sin(t))) +
                             0.2 * n;
            put16(quint16(qint16(std::lround(x * 32767 * 0.8))));
        }
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size())
        return false;
    return f.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime);
}

} // namespace ks3::bench
