#pragma once

#include "converter/Ffmpeg.h"
#include "converter/TargetFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks3::conv {

// What the output will be, decided from the target and the source before
// anything is written.
struct OutputPlan {
    const AVCodec* codec = nullptr;
    const AVOutputFormat* muxer = nullptr;
    int sampleRate = 0;
    AVChannelLayout layout{};
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE; // what the encoder takes
    int bitsPerRawSample = 0;                         // FLAC: 16 or 24
    std::vector<std::string> notes;                   // what was changed to suit the encoder
    std::string encoderName() const { return codec ? codec->name : ""; }
};

// Chooses encoder, rate, channels and sample format. The target's settings
// win; what they leave open keeps the source's, within what the codec can
// take. When the encoder refuses the bit rate at the source's rate (Layer II
// at 256 kbit/s below 32000 Hz, Vorbis at 256 kbit/s below 32000 Hz) and the
// rate is left open, the nearest rate at which it opens is taken; a mono
// source whose channels are left open becomes stereo when mono cannot have
// that bit rate at all. Each such change is told in notes. preferredFormat is
// the format the samples come in (kept when the encoder takes it). Throws
// ConverterError for an impossible combination.
OutputPlan planOutput(const TargetFormat& target, int sourceRate, const AVChannelLayout& sourceLayout,
                      int sourceBits, AVSampleFormat preferredFormat);

// Encodes and writes the output file. Samples are given in plan.sampleFormat
// at plan.sampleRate, in any number; they are cut into the codec's frames, the
// last one padded with silence when the codec needs whole frames (MPEG audio).
class AudioEncoder {
public:
    AudioEncoder(const TargetFormat& target, const OutputPlan& plan, const std::string& path,
                 const AVDictionary* tags);
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    void write(const uint8_t* const* data, int frames);
    // Last frame, encoder flush, container trailer; the file is closed and synced.
    void finish();
    std::int64_t framesWritten() const { return written_; }

private:
    void sendFrames(bool last);
    void send(AVFrame* frame);

    std::string path_;
    AVFormatContext* out_ = nullptr;
    AVStream* stream_ = nullptr;
    AvPtr<AVCodecContext> enc_;
    AvPtr<AVAudioFifo> fifo_;
    AvPtr<AVFrame> frame_;
    AvPtr<AVPacket> packet_;
    int frameSize_ = 0;
    bool wholeFrames_ = false; // the codec refuses a short last frame
    std::int64_t pts_ = 0;
    std::int64_t written_ = 0;
    bool headerWritten_ = false;
};

} // namespace ks3::conv
