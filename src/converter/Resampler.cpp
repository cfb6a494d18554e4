#include "converter/Resampler.h"

#include "converter/ConverterError.h"

#include <vector>

namespace ks3::conv {

Resampler::Resampler(AVSampleFormat outFormat, int outRate, const AVChannelLayout& outLayout)
    : outFormat_(outFormat), outRate_(outRate) {
    av_channel_layout_copy(&outLayout_, &outLayout);
}

Resampler::~Resampler() {
    if (out_)
        av_freep(&out_[0]);
    av_freep(&out_);
    av_channel_layout_uninit(&outLayout_);
    av_channel_layout_uninit(&inLayout_);
}

void Resampler::reserve(int frames) {
    if (frames <= capacity_)
        return;
    // Keep what is in the buffer: drained frames may precede new ones.
    uint8_t** grown = nullptr;
    const int cap = std::max(frames, capacity_ * 2);
    if (av_samples_alloc_array_and_samples(&grown, nullptr, outLayout_.nb_channels, cap, outFormat_, 0) < 0)
        throw ConverterError("Out of memory");
    if (out_) {
        av_samples_copy(grown, out_, 0, 0, capacity_, outLayout_.nb_channels, outFormat_);
        av_freep(&out_[0]);
        av_freep(&out_);
    }
    out_ = grown;
    capacity_ = cap;
}

void Resampler::configure(AVSampleFormat inFormat, int inRate, const AVChannelLayout& rawLayout) {
    AVChannelLayout inLayout = orderedLayout(rawLayout);
    SwrContext* s = nullptr;
    int err =
        swr_alloc_set_opts2(&s, &outLayout_, outFormat_, outRate_, &inLayout, inFormat, inRate, 0, nullptr);
    if (err >= 0) {
        const int in = inLayout.nb_channels, out = outLayout_.nb_channels;
        if (in == 1 && out == 2) {
            const double m[2] = {1.0, 1.0};
            err = swr_set_matrix(s, m, 1);
        } else if (in == 2 && out == 1) {
            const double m[2] = {0.5, 0.5};
            err = swr_set_matrix(s, m, 2);
        }
    }
    if (err >= 0)
        err = swr_init(s);
    if (err < 0) {
        swr_free(&s);
        av_channel_layout_uninit(&inLayout);
        throw ConverterError("Cannot convert the samples: " + avErrorText(err));
    }
    swr_.reset(s);
    inFormat_ = inFormat;
    inRate_ = inRate;
    av_channel_layout_uninit(&inLayout_);
    inLayout_ = inLayout;
}

int Resampler::drainInto(int at) {
    if (!swr_)
        return at;
    while (true) {
        reserve(at + 4096);
        std::vector<uint8_t*> planes(std::size_t(outLayout_.nb_channels));
        const int planar = av_sample_fmt_is_planar(outFormat_);
        const int bps = av_get_bytes_per_sample(outFormat_);
        for (std::size_t c = 0; c < planes.size(); ++c)
            planes[c] = planar
                            ? out_[c] + std::size_t(at) * bps
                            : (c == 0 ? out_[0] + std::size_t(at) * bps * outLayout_.nb_channels : nullptr);
        const int got = swr_convert(swr_.get(), planes.data(), capacity_ - at, nullptr, 0);
        if (got < 0)
            throw ConverterError("Cannot convert the samples: " + avErrorText(got));
        if (got == 0)
            return at;
        at += got;
    }
}

int Resampler::convert(const uint8_t* const* in, int frames, AVSampleFormat inFormat, int inRate,
                       const AVChannelLayout& inLayout) {
    int at = 0;
    AVChannelLayout ordered = orderedLayout(inLayout);
    const bool changed = !swr_ || inFormat != inFormat_ || inRate != inRate_ ||
                         av_channel_layout_compare(&ordered, &inLayout_) != 0;
    av_channel_layout_uninit(&ordered);
    if (changed) {
        at = drainInto(0);
        configure(inFormat, inRate, inLayout);
    }
    reserve(at + swr_get_out_samples(swr_.get(), frames) + 16);
    const int planar = av_sample_fmt_is_planar(outFormat_);
    const int bps = av_get_bytes_per_sample(outFormat_);
    std::vector<uint8_t*> planes(std::size_t(outLayout_.nb_channels));
    for (std::size_t c = 0; c < planes.size(); ++c)
        planes[c] = planar ? out_[c] + std::size_t(at) * bps
                           : (c == 0 ? out_[0] + std::size_t(at) * bps * outLayout_.nb_channels : nullptr);
    const int got =
        swr_convert(swr_.get(), planes.data(), capacity_ - at, const_cast<const uint8_t**>(in), frames);
    if (got < 0)
        throw ConverterError("Cannot convert the samples: " + avErrorText(got));
    return at + got;
}

int Resampler::flush() {
    return drainInto(0);
}

} // namespace ks3::conv
