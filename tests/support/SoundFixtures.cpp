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
    explicit Noise(std::uint32_t start) : s_(start ? start : 1u) {}
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

QByteArray makeWav(const SoundParams& params) {
    const int bits = (params.bits == 8 || params.bits == 24 || params.bits == 32) ? params.bits : 16;
    const int bytesPerSample = bits / 8;
    const auto frames = [&](double s) {
        return std::int64_t(std::llround(std::max(0.0, s) * params.sampleRate));
    };
    const std::int64_t lead = frames(params.leadingSilence);
    const std::int64_t body = frames(params.seconds);
    const std::int64_t trail = frames(params.trailingSilence);
    const std::int64_t total = lead + body + trail;
    const std::uint32_t dataBytes = std::uint32_t(total * params.channels * bytesPerSample);

    QByteArray b;
    b.reserve(int(44 + dataBytes));
    b.append("RIFF");
    put32(b, 36 + dataBytes);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 16);
    put16(b, 1); // integer PCM
    put16(b, std::uint16_t(params.channels));
    put32(b, std::uint32_t(params.sampleRate));
    put32(b, std::uint32_t(params.sampleRate * params.channels * bytesPerSample));
    put16(b, std::uint16_t(params.channels * bytesPerSample));
    put16(b, std::uint16_t(bits));
    b.append("data");
    put32(b, dataBytes);

    Noise rng(params.noiseVariant);
    const double perTone =
        params.frequencies.empty() ? 0.0 : params.amplitude / double(params.frequencies.size());
    for (std::int64_t i = 0; i < total; ++i) {
        const bool inBody = i >= lead && i < lead + body;
        double mono = 0.0;
        bool perChannelNoise = false;
        if (!inBody) {
            perChannelNoise = params.paddingAmplitude > 0.0;
        } else if (params.signal == Signal::Tone) {
            const double t = double(i - lead) / params.sampleRate;
            for (double f : params.frequencies)
                mono += perTone * std::sin(2.0 * std::numbers::pi * f * t);
        } else if (params.signal == Signal::Noise) {
            perChannelNoise = true;
        }
        for (int c = 0; c < params.channels; ++c) {
            double x = mono;
            if (perChannelNoise)
                x = rng.next() * (inBody ? params.amplitude : params.paddingAmplitude);
            putSample(b, x, bits);
        }
    }
    return b;
}

QString writeWav(const QString& path, const SoundParams& params) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(makeWav(params));
    return f.commit() ? path : QString();
}

bool backdateFile(const QString& path, int seconds) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    return f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

SoundParams tone(double frequency, double seconds, double amplitude, int sampleRate, int channels) {
    SoundParams s;
    s.frequencies = {frequency};
    s.seconds = seconds;
    s.amplitude = amplitude;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

SoundParams silence(double seconds, int sampleRate, int channels) {
    SoundParams s;
    s.signal = Signal::Silence;
    s.seconds = seconds;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

SoundParams noise(double seconds, double amplitude, int sampleRate, int channels) {
    SoundParams s;
    s.signal = Signal::Noise;
    s.seconds = seconds;
    s.amplitude = amplitude;
    s.sampleRate = sampleRate;
    s.channels = channels;
    return s;
}

} // namespace ks3::test
