#pragma once

// FFmpeg's C headers, and small owners for its objects.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <memory>
#include <string>

namespace ks3::conv {

inline std::string avErrorText(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return buf;
}

struct AvDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    void operator()(AVFrame* f) const { av_frame_free(&f); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(SwrContext* s) const { swr_free(&s); }
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
template <class T> using AvPtr = std::unique_ptr<T, AvDeleter>;

// A channel layout with a known order (a source without a channel mask gets
// the usual layout for its channel count).
inline AVChannelLayout orderedLayout(const AVChannelLayout& in) {
    AVChannelLayout out{};
    if (in.order == AV_CHANNEL_ORDER_UNSPEC || in.nb_channels <= 0)
        av_channel_layout_default(&out, in.nb_channels > 0 ? in.nb_channels : 2);
    else
        av_channel_layout_copy(&out, &in);
    return out;
}

} // namespace ks3::conv
