#include "converter/AudioDecoder.h"

#include "converter/ConverterError.h"

namespace ks3::conv {

AudioDecoder::AudioDecoder(const std::string& path) : path_(path) {
    int err = avformat_open_input(&format_, path.c_str(), nullptr, nullptr);
    if (err < 0)
        throw ConverterError("Cannot read the source file '" + path + "': " + avErrorText(err));
    if ((err = avformat_find_stream_info(format_, nullptr)) < 0)
        throw ConverterError("Cannot read the source file '" + path + "': " + avErrorText(err));
    const AVCodec* dec = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0);
    if (stream_ < 0 || !dec)
        throw ConverterError("The source file '" + path + "' holds no audio that can be decoded");
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (int(i) != stream_)
            format_->streams[i]->discard = AVDISCARD_ALL;
    const AVStream* st = format_->streams[stream_];
    codec_.reset(avcodec_alloc_context3(dec));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), st->codecpar) < 0)
        throw ConverterError("Out of memory");
    codec_->pkt_timebase = st->time_base;
    if ((err = avcodec_open2(codec_.get(), dec, nullptr)) < 0)
        throw ConverterError("Cannot decode the source file '" + path + "': " + avErrorText(err));
    if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0)
        throw ConverterError("The source file '" + path + "' has no sample rate or no channel");
    av_dict_copy(&tags_, format_->metadata, 0);
    av_dict_copy(&tags_, st->metadata, AV_DICT_DONT_OVERWRITE);
    // Technical tags of the source would describe it, not the new file.
    for (const char* k : {"encoder", "encoded_by", "major_brand", "minor_version", "compatible_brands"})
        av_dict_set(&tags_, k, nullptr, 0);
}

AudioDecoder::~AudioDecoder() {
    av_dict_free(&tags_);
    avformat_close_input(&format_);
}

int AudioDecoder::sourceBits() const {
    const AVCodecDescriptor* d = avcodec_descriptor_get(codec_->codec_id);
    if (!d || !(d->props & AV_CODEC_PROP_LOSSLESS))
        return 16;
    const AVCodecParameters* p = format_->streams[stream_]->codecpar;
    int bits = p->bits_per_raw_sample > 0 ? p->bits_per_raw_sample : p->bits_per_coded_sample;
    if (bits <= 0)
        bits = av_get_bytes_per_sample(codec_->sample_fmt) * 8;
    return bits <= 8 ? 8 : bits <= 16 ? 16 : bits <= 24 ? 24 : 32;
}

void AudioDecoder::run(const std::function<void(const AVFrame*)>& onFrame) {
    AvPtr<AVPacket> pkt(av_packet_alloc());
    AvPtr<AVFrame> frame(av_frame_alloc());
    auto drain = [&] {
        while (true) {
            const int r = avcodec_receive_frame(codec_.get(), frame.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return;
            if (r < 0) { // a frame the decoder could not finish
                ++damaged_;
                return;
            }
            decoded_ += frame->nb_samples;
            onFrame(frame.get());
            av_frame_unref(frame.get());
        }
    };
    int err;
    while ((err = av_read_frame(format_, pkt.get())) >= 0) {
        if (pkt->stream_index == stream_) {
            const int r = avcodec_send_packet(codec_.get(), pkt.get());
            if (r < 0 && r != AVERROR(EAGAIN))
                ++damaged_;
            drain();
        }
        av_packet_unref(pkt.get());
    }
    // Garbage after the last good frame ends the sound like the end of the
    // file; a failing read (a disk or network error) fails the conversion.
    if (err == AVERROR_INVALIDDATA)
        ++damaged_;
    else if (err != AVERROR_EOF)
        throw ConverterError("Cannot read the source file '" + path_ + "': " + avErrorText(err));
    avcodec_send_packet(codec_.get(), nullptr);
    drain();
}

} // namespace ks3::conv
