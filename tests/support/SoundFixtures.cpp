#include "support/SoundFixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace ks3::test {

namespace {

void put16(QByteArray& b, std::uint16_t v) {
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}

void put32(QByteArray& b, std::uint32_t v) {
    put16(b, std::uint16_t(v & 0xffff));
    put16(b, std::uint16_t(v >> 16));
}

// Small deterministic generator (xorshift32) giving values in [-1, 1).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : s_(seed ? seed : 1u) {}
    double next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return double(s_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t s_;
};

void putSample(QByteArray& b, double x, int bits) {
    x = std::clamp(x, -1.0, 1.0);
    switch (bits) {
    case 8:
        b.append(char(std::lround(std::clamp(x * 128.0 + 128.0, 0.0, 255.0))));
        break;
    case 24: {
        const auto v = std::int32_t(std::lround(std::clamp(x * 8388608.0, -8388608.0, 8388607.0)));
        b.append(char(v & 0xff));
        b.append(char((v >> 8) & 0xff));
        b.append(char((v >> 16) & 0xff));
        break;
    }
    case 32: {
        const auto v = std::int64_t(std::llround(std::clamp(x * 2147483648.0, -2147483648.0, 2147483647.0)));
        put32(b, std::uint32_t(std::int32_t(v)));
        break;
    }
    default:
        put16(b, std::uint16_t(std::int16_t(std::lround(std::clamp(x * 32768.0, -32768.0, 32767.0)))));
        break;
    }
}

} // namespace

double dbToAmplitude(double db) {
    return std::pow(10.0, db / 20.0);
}

QByteArray makeWav(const SoundSpec& spec) {
    const int bits = (spec.bits == 8 || spec.bits == 24 || spec.bits == 32) ? spec.bits : 16;
    const int bytesPerSample = bits / 8;
    const auto frames = [&](double s) {
        return std::int64_t(std::llround(std::max(0.0, s) * spec.sampleRate));
    };
    const std::int64_t lead = frames(spec.leadingSilence);
    const std::int64_t body = frames(spec.seconds);
    const std::int64_t trail = frames(spec.trailingSilence);
    const std::int64_t total = lead + body + trail;
    const std::uint32_t dataBytes = std::uint32_t(total * spec.channels * bytesPerSample);

    QByteArray b;
    b.reserve(int(44 + dataBytes));
    b.append("RIFF");
    put32(b, 36 + dataBytes);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 16);
    put16(b, 1); // integer PCM
    put16(b, std::uint16_t(spec.channels));
    put32(b, std::uint32_t(spec.sampleRate));
    put32(b, std::uint32_t(spec.sampleRate * spec.channels * bytesPerSample));
    put16(b, std::uint16_t(spec.channels * bytesPerSample));
    put16(b, std::uint16_t(bits));
    b.append("data");
    put32(b, dataBytes);

    Noise rng(spec.seed);
    const double perTone = spec.frequencies.empty() ? 0.0 : spec.amplitude / double(spec.frequencies.size());
    for (std::int64_t i = 0; i < total; ++i) {
        const bool inBody = i >= lead && i < lead + body;
        double mono = 0.0;
        bool perChannelNoise = false;
        if (!inBody) {
            perChannelNoise = spec.paddingAmplitude > 0.0;
        } else if (spec.signal == Signal::Tone) {
            const double t = double(i - lead) / spec.sampleRate;
            for (double f : spec.frequencies)
                mono += perTone * std::sin(2.0 * std::numbers::pi * f * t);
        } else if (spec.signal == Signal::Noise) {
            perChannelNoise = true;
        }
        for (int c = 0; c < spec.channels; ++c) {
            double x = mono;
            if (perChannelNoise)
                x = rng.next() * (inBody ? spec.amplitude : spec.paddingAmplitude);
            putSample(b, x, bits);
        }
    }
    return b;
}

QString writeWav(const QString& path, const SoundSpec& spec) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(makeWav(spec));
    return f.commit() ? path : QString();
}

bool backdateFile(const QString& path, int seconds) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    return f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

SoundSpec tone(double frequency, double seconds, double amplitude, int sampleRate, int channels) {
    SoundSpec s;
    s.frequencies = {frequency};
    s.seconds = seconds;
    s.amplitude = amplitude;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

SoundSpec silence(double seconds, int sampleRate, int channels) {
    SoundSpec s;
    s.signal = Signal::Silence;
    s.seconds = seconds;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

SoundSpec noise(double seconds, double amplitude, int sampleRate, int channels) {
    SoundSpec s;
    s.signal = Signal::Noise;
    s.seconds = seconds;
    s.amplitude = amplitude;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

} // namespace ks3::test
