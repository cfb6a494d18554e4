#include "converter/EncoderSettings.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace ks3::conv {

void applyEncoderSettings(AVCodecContext& c, const TargetFormat& t, const OutputPlan& plan) {
    c.sample_rate = plan.sampleRate;
    c.sample_fmt = plan.sampleFormat;
    av_channel_layout_uninit(&c.ch_layout);
    av_channel_layout_copy(&c.ch_layout, &plan.layout);
    c.time_base = AVRational{1, plan.sampleRate};
    if (plan.bitsPerRawSample)
        c.bits_per_raw_sample = plan.bitsPerRawSample;
    if (t.compressionLevel >= 0)
        c.compression_level = t.compressionLevel;
    if (t.vorbisQuality) {
        c.flags |= AV_CODEC_FLAG_QSCALE;
        c.global_quality = int(t.quality * 10.0 * FF_QP2LAMBDA);
    } else if (t.bitRate > 0) {
        c.bit_rate = t.bitRate;
        // libvorbis manages the average only while a limit is set; a floor of
        // 1 bit/s keeps its rate management on without constraining it.
        if (t.vorbisManaged)
            c.rc_min_rate = 1;
    }
    if (plan.muxer && (plan.muxer->flags & AVFMT_GLOBALHEADER))
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
}

namespace {

// Standard error sent to /dev/null for the life of the object: libtwolame
// prints its refusals there itself, and they are not this conversion's errors.
class QuietStandardError {
public:
    QuietStandardError() : level_(av_log_get_level()) {
        av_log_set_level(AV_LOG_QUIET);
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        av_log_set_level(level_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int level_;
    int saved_ = -1;
};

} // namespace

bool encoderAccepts(const TargetFormat& t, const OutputPlan& plan) {
    AvPtr<AVCodecContext> c(avcodec_alloc_context3(plan.codec));
    if (!c)
        return false;
    applyEncoderSettings(*c, t, plan);
    QuietStandardError quiet;
    return avcodec_open2(c.get(), plan.codec, nullptr) >= 0;
}

} // namespace ks3::conv
