#include "support/AudioProbe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

namespace ks3::test {

namespace {

double toDb(double linear) {
    return linear > 1e-10 ? 20.0 * std::log10(linear) : -200.0;
}

QString avError(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double ang = -2.0 * std::numbers::pi / double(len);
        const std::complex<double> wl(std::cos(ang), std::sin(ang));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
}

} // namespace

DecodedAudio decodeAudio(const QString& path) {
    DecodedAudio out;
    AudioInfo& info = out.info;

    AVFormatContext* rawFmt = nullptr;
    int err = avformat_open_input(&rawFmt, path.toUtf8().constData(), nullptr, nullptr);
    if (err < 0) {
        info.error = QStringLiteral("open: ") + avError(err);
        return out;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> fmt(rawFmt);
    if ((err = avformat_find_stream_info(fmt.get(), nullptr)) < 0) {
        info.error = QStringLiteral("stream info: ") + avError(err);
        return out;
    }
    const AVCodec* dec = nullptr;
    const int si = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0);
    if (si < 0 || !dec) {
        info.error = QStringLiteral("no audio stream");
        return out;
    }
    AVStream* st = fmt->streams[si];
    std::unique_ptr<AVCodecContext, CodecFreer> cc(avcodec_alloc_context3(dec));
    avcodec_parameters_to_context(cc.get(), st->codecpar);
    if ((err = avcodec_open2(cc.get(), dec, nullptr)) < 0) {
        info.error = QStringLiteral("decoder: ") + avError(err);
        return out;
    }

    info.container = QString::fromUtf8(fmt->iformat->name);
    info.codec = QString::fromUtf8(dec->name);
    info.sampleRate = st->codecpar->sample_rate;
    info.channels = st->codecpar->ch_layout.nb_channels;
    info.bitsPerSample = st->codecpar->bits_per_coded_sample;
    info.bitRate = st->codecpar->bit_rate > 0 ? st->codecpar->bit_rate : fmt->bit_rate;
    info.frameSize = st->codecpar->frame_size;
    if (fmt->duration > 0)
        info.containerDuration = double(fmt->duration) / AV_TIME_BASE;

    std::unique_ptr<AVPacket, PacketFreer> pkt(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    std::unique_ptr<SwrContext, SwrFreer> swr;
    const int ch = std::max(1, info.channels);

    auto take = [&](AVFrame* f) -> bool {
        if (!swr) {
            SwrContext* s = nullptr;
            AVChannelLayout outLayout;
            av_channel_layout_default(&outLayout, f->ch_layout.nb_channels);
            if (swr_alloc_set_opts2(&s, &outLayout, AV_SAMPLE_FMT_FLT, f->sample_rate, &f->ch_layout,
                                    AVSampleFormat(f->format), f->sample_rate, 0, nullptr) < 0 ||
                swr_init(s) < 0) {
                swr_free(&s);
                return false;
            }
            swr.reset(s);
            info.sampleFormat = QString::fromUtf8(av_get_sample_fmt_name(AVSampleFormat(f->format)));
        }
        const std::size_t at = out.samples.size();
        out.samples.resize(at + std::size_t(f->nb_samples) * ch);
        auto* dst = reinterpret_cast<uint8_t*>(out.samples.data() + at);
        const int got = swr_convert(swr.get(), &dst, f->nb_samples,
                                    const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
        out.samples.resize(at + std::size_t(std::max(0, got)) * ch);
        return got >= 0;
    };
    auto drain = [&]() -> bool {
        while (true) {
            const int r = avcodec_receive_frame(cc.get(), frame.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return false;
            const bool ok = take(frame.get());
            av_frame_unref(frame.get());
            if (!ok)
                return false;
        }
    };

    while ((err = av_read_frame(fmt.get(), pkt.get())) >= 0) {
        if (pkt->stream_index == si) {
            // A damaged packet is skipped, as a player would do.
            avcodec_send_packet(cc.get(), pkt.get());
            if (!drain()) {
                info.error = QStringLiteral("decoding failed");
                return out;
            }
        }
        av_packet_unref(pkt.get());
    }
    avcodec_send_packet(cc.get(), nullptr);
    if (!drain()) {
        info.error = QStringLiteral("decoding failed");
        return out;
    }

    info.frames = std::int64_t(out.samples.size() / ch);
    info.duration = info.sampleRate > 0 ? double(info.frames) / info.sampleRate : 0.0;
    info.peakDb = out.peakDb();
    info.rmsDb = out.rmsDb();
    info.ok = true;
    return out;
}

AudioInfo probeAudio(const QString& path) {
    return decodeAudio(path).info;
}

namespace {

// Sample-frame range of a span of a decoded sound.
std::pair<std::size_t, std::size_t> span(const DecodedAudio& a, double fromSec, double toSec) {
    const int ch = std::max(1, a.info.channels);
    const std::size_t frames = a.samples.size() / ch;
    const auto at = [&](double s) {
        return std::min(frames, std::size_t(std::max(0.0, s) * std::max(1, a.info.sampleRate)));
    };
    const std::size_t b = at(fromSec);
    const std::size_t e = toSec < 0 ? frames : at(toSec);
    return {b * ch, std::max(b, e) * ch};
}

} // namespace

double DecodedAudio::rmsDb(double fromSec, double toSec) const {
    const auto [b, e] = span(*this, fromSec, toSec);
    if (e <= b)
        return -200.0;
    double sum = 0.0;
    for (std::size_t i = b; i < e; ++i)
        sum += double(samples[i]) * samples[i];
    return toDb(std::sqrt(sum / double(e - b)));
}

double DecodedAudio::peakDb(double fromSec, double toSec) const {
    const auto [b, e] = span(*this, fromSec, toSec);
    float peak = 0.0f;
    for (std::size_t i = b; i < e; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return toDb(peak);
}

double DecodedAudio::bandEnergyDb(double lowHz, double highHz) const {
    constexpr std::size_t N = 4096;
    const int ch = std::max(1, info.channels);
    const std::size_t frames = samples.size() / ch;
    if (frames == 0 || info.sampleRate <= 0)
        return -200.0;
    std::vector<double> window(N);
    for (std::size_t i = 0; i < N; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(N - 1));
    const double binHz = double(info.sampleRate) / double(N);
    const std::size_t lo = std::size_t(std::max(0.0, std::ceil(lowHz / binHz)));
    const std::size_t hi = std::min(N / 2, std::size_t(std::floor(highHz / binHz)));
    if (hi < lo)
        return -200.0;

    double total = 0.0;
    int blocks = 0;
    std::vector<std::complex<double>> buf(N);
    // Half-overlapping blocks; a sound shorter than one block is zero-padded.
    for (std::size_t start = 0; blocks == 0 || start + N <= frames; start += N / 2) {
        for (std::size_t i = 0; i < N; ++i) {
            double m = 0.0;
            if (start + i < frames)
                for (int c = 0; c < ch; ++c)
                    m += samples[(start + i) * ch + c];
            buf[i] = m / ch * window[i];
        }
        fft(buf);
        double p = 0.0;
        for (std::size_t k = lo; k <= hi; ++k)
            p += std::norm(buf[k]);
        total += p / double(hi - lo + 1);
        ++blocks;
    }
    const double mean = total / blocks;
    return mean > 1e-30 ? 10.0 * std::log10(mean) : -300.0;
}

double DecodedAudio::firstAboveDb(double thresholdDb) const {
    const float t = float(std::pow(10.0, thresholdDb / 20.0));
    const int ch = std::max(1, info.channels);
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::fabs(samples[i]) >= t)
            return double(i / ch) / std::max(1, info.sampleRate);
    return -1.0;
}

double DecodedAudio::lastAboveDb(double thresholdDb) const {
    const float t = float(std::pow(10.0, thresholdDb / 20.0));
    const int ch = std::max(1, info.channels);
    for (std::size_t i = samples.size(); i-- > 0;)
        if (std::fabs(samples[i]) >= t)
            return double(i / ch) / std::max(1, info.sampleRate);
    return -1.0;
}

} // namespace ks3::test
