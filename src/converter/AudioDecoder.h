#pragma once

#include "converter/Ffmpeg.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ks3::conv {

// Reads the audio stream of a file that FFmpeg can demux and decode.
class AudioDecoder {
public:
    // Throws ConverterError when the file cannot be opened or holds no audio it can decode.
    explicit AudioDecoder(const std::string& path);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // Decodes to the end, handing over every frame. A damaged packet is
    // skipped (counted in damagedPackets()); a read error throws.
    void run(const std::function<void(const AVFrame*)>& onFrame);

    int sampleRate() const { return codec_->sample_rate; }
    int channels() const { return codec_->ch_layout.nb_channels; }
    const AVChannelLayout& layout() const { return codec_->ch_layout; }
    AVSampleFormat sampleFormat() const { return codec_->sample_fmt; }
    // Sample size of a lossless source (8 to 32); 16 for a lossy one.
    int sourceBits() const;
    // Tags of the container and of the stream.
    const AVDictionary* metadata() const { return tags_; }
    int damagedPackets() const { return damaged_; }
    std::int64_t decodedFrames() const { return decoded_; }

private:
    std::string path_;
    AVFormatContext* format_ = nullptr;
    AvPtr<AVCodecContext> codec_;
    int stream_ = -1;
    AVDictionary* tags_ = nullptr;
    int damaged_ = 0;
    std::int64_t decoded_ = 0;
};

} // namespace ks3::conv
