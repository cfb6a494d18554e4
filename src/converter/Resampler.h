#pragma once

#include "converter/Ffmpeg.h"

namespace ks3::conv {

// Converts samples to one format, rate and channel layout (libswresample).
// Follows a change of the input's parameters in the middle of a stream. A
// mono source is copied to both sides of a stereo output, and a stereo
// source mixed to mono as the mean of its sides, both at unchanged level.
class Resampler {
public:
    Resampler(AVSampleFormat outFormat, int outRate, const AVChannelLayout& outLayout);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Converts frames; returns the number of frames now in output().
    int convert(const uint8_t* const* in, int frames, AVSampleFormat inFormat, int inRate,
                const AVChannelLayout& inLayout);
    int convert(const AVFrame* f) {
        return convert(f->extended_data, f->nb_samples, AVSampleFormat(f->format), f->sample_rate,
                       f->ch_layout);
    }
    // The frames the resampler still holds, at the end of the stream. It may
    // move the buffer: read output() after the call, never beside it in one
    // expression (the order of a call's arguments is the compiler's choice).
    int flush();
    uint8_t* const* output() const { return out_; }

private:
    void configure(AVSampleFormat inFormat, int inRate, const AVChannelLayout& inLayout);
    void reserve(int frames);
    int drainInto(int at);

    AVSampleFormat outFormat_;
    int outRate_;
    AVChannelLayout outLayout_{};
    AvPtr<SwrContext> swr_;
    AVSampleFormat inFormat_ = AV_SAMPLE_FMT_NONE;
    int inRate_ = 0;
    AVChannelLayout inLayout_{};
    uint8_t** out_ = nullptr;
    int capacity_ = 0;
};

} // namespace ks3::conv
