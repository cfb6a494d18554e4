#include "converter/AudioEncoder.h"

#include "converter/ConverterError.h"
#include "converter/EncoderSettings.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace ks3::conv {

namespace {

AVCodecID pcmCodec(PcmOrder order, int bits) {
    const bool be = order == PcmOrder::BigEndian;
    switch (bits) {
    case 8:
        return be ? AV_CODEC_ID_PCM_S8 : AV_CODEC_ID_PCM_U8; // AIFF is signed, WAV unsigned
    case 24:
        return be ? AV_CODEC_ID_PCM_S24BE : AV_CODEC_ID_PCM_S24LE;
    case 32:
        return be ? AV_CODEC_ID_PCM_S32BE : AV_CODEC_ID_PCM_S32LE;
    default:
        return be ? AV_CODEC_ID_PCM_S16BE : AV_CODEC_ID_PCM_S16LE;
    }
}

bool takes(const AVCodec* c, AVSampleFormat f) {
    if (!c->sample_fmts)
        return true;
    for (const AVSampleFormat* p = c->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
        if (*p == f)
            return true;
    return false;
}

AVSampleFormat chooseFormat(const AVCodec* c, AVSampleFormat preferred) {
    if (!c->sample_fmts)
        return preferred;
    const AVSampleFormat candidates[] = {preferred, av_get_planar_sample_fmt(preferred),
                                         av_get_packed_sample_fmt(preferred)};
    for (AVSampleFormat f : candidates)
        if (f != AV_SAMPLE_FMT_NONE && takes(c, f))
            return f;
    // Floating-point samples keep their precision in a float-taking encoder.
    if (preferred == AV_SAMPLE_FMT_FLT || preferred == AV_SAMPLE_FMT_FLTP || preferred == AV_SAMPLE_FMT_DBL ||
        preferred == AV_SAMPLE_FMT_DBLP)
        for (AVSampleFormat f : {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT})
            if (takes(c, f))
                return f;
    return c->sample_fmts[0];
}

int chooseRate(const AVCodec* c, const TargetFormat& t, int sourceRate) {
    const int wanted = t.sampleRate ? t.sampleRate : sourceRate;
    if (c->supported_samplerates) {
        int best = 0;
        for (const int* r = c->supported_samplerates; *r; ++r) {
            if (*r == wanted)
                return wanted;
            if (!best || std::abs(*r - wanted) < std::abs(best - wanted))
                best = *r;
        }
        if (t.sampleRate)
            throw ConverterError("Sample rate " + std::to_string(wanted) + " Hz is not possible with \"" +
                                     t.type + "\"",
                                 ExitBadArguments);
        return best;
    }
    if (t.maxSampleRate && wanted > t.maxSampleRate)
        return t.maxSampleRate;
    return wanted;
}

// The rates to try when the encoder refuses the one planned, nearest to the
// source's first (the higher of two at the same distance).
std::vector<int> ratesByDistance(const AVCodec* c, const TargetFormat& t, int sourceRate) {
    std::vector<int> rates;
    if (c->supported_samplerates) {
        for (const int* r = c->supported_samplerates; *r; ++r)
            rates.push_back(*r);
    } else {
        rates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000};
    }
    if (t.maxSampleRate)
        std::erase_if(rates, [&](int r) { return r > t.maxSampleRate; });
    std::sort(rates.begin(), rates.end(), [&](int a, int b) {
        const int da = std::abs(a - sourceRate), db = std::abs(b - sourceRate);
        return da != db ? da < db : a > b;
    });
    return rates;
}

std::string channelsText(int n) {
    return n == 1 ? "mono" : n == 2 ? "stereo" : std::to_string(n) + " channels";
}

// Moves what the settings leave open (rate, a mono source's channels) until
// the encoder opens; the plan stays as it was when nothing helps, and the
// encoder then reports its own refusal.
void fitEncoder(const TargetFormat& t, OutputPlan& p, int sourceRate) {
    const bool rateOpen = t.sampleRate == 0;
    const bool channelsOpen = t.channels == 0;
    if ((!rateOpen && !channelsOpen) || encoderAccepts(t, p))
        return;
    const int planned = p.layout.nb_channels;
    std::vector<int> channelChoices{planned};
    if (channelsOpen && planned == 1 && (!t.maxChannels || t.maxChannels >= 2))
        channelChoices.push_back(2);
    const std::vector<int> rates =
        rateOpen ? ratesByDistance(p.codec, t, sourceRate) : std::vector<int>{p.sampleRate};

    OutputPlan trial = p;
    for (const int channels : channelChoices) {
        av_channel_layout_default(&trial.layout, channels);
        for (const int rate : rates) {
            trial.sampleRate = rate;
            if (!encoderAccepts(t, trial))
                continue;
            const int fromRate = rateOpen ? sourceRate : p.sampleRate;
            std::string what = "The encoder " + std::string(p.codec->name) + " cannot take ";
            what += t.bitRate > 0 && !t.vorbisQuality ? std::to_string(t.bitRate / 1000) + " kbit/s"
                                                      : std::string("these settings");
            what += " at " + std::to_string(fromRate) + " Hz " + channelsText(planned) + ":";
            if (channels != planned)
                what += " written in " + channelsText(channels) + (rate != fromRate ? "," : ".");
            if (rate != fromRate)
                what += " resampled to " + std::to_string(rate) + " Hz, the nearest rate it can take.";
            p.notes.push_back(what);
            p.sampleRate = rate;
            if (channels != planned)
                av_channel_layout_default(&p.layout, channels);
            return;
        }
    }
}

} // namespace

OutputPlan planOutput(const TargetFormat& t, int sourceRate, const AVChannelLayout& sourceLayout,
                      int sourceBits, AVSampleFormat preferred) {
    OutputPlan p;
    p.muxer = av_guess_format(t.muxer.c_str(), nullptr, nullptr);
    if (!p.muxer)
        throw ConverterError("This FFmpeg cannot write the container " + t.muxer);
    if (t.pcm != PcmOrder::None) {
        const int bits = t.pcmBits ? t.pcmBits : sourceBits;
        p.codec = avcodec_find_encoder(pcmCodec(t.pcm, bits));
    } else {
        for (const std::string& name : t.encoders)
            if ((p.codec = avcodec_find_encoder_by_name(name.c_str())))
                break;
    }
    if (!p.codec)
        throw ConverterError("No encoder available for \"" + t.type + "\"");

    p.sampleRate = chooseRate(p.codec, t, sourceRate);
    int channels = t.channels ? t.channels : sourceLayout.nb_channels;
    if (t.maxChannels && channels > t.maxChannels)
        channels = t.maxChannels;
    if (!t.channels && channels == sourceLayout.nb_channels)
        p.layout = orderedLayout(sourceLayout);
    else
        av_channel_layout_default(&p.layout, channels);

    if (p.codec->id == AV_CODEC_ID_FLAC) {
        const int bits = t.pcmBits ? t.pcmBits : sourceBits;
        p.bitsPerRawSample = bits > 16 ? 24 : 16;
        p.sampleFormat = bits > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    } else {
        p.sampleFormat = chooseFormat(p.codec, preferred);
    }
    fitEncoder(t, p, sourceRate);
    return p;
}

AudioEncoder::AudioEncoder(const TargetFormat& t, const OutputPlan& plan, const std::string& path,
                           const AVDictionary* tags)
    : path_(path) {
    int err = avformat_alloc_output_context2(&out_, plan.muxer, nullptr, path.c_str());
    if (err < 0 || !out_)
        throw ConverterError("Cannot create the output: " + avErrorText(err));
    enc_.reset(avcodec_alloc_context3(plan.codec));
    if (!enc_)
        throw ConverterError("Out of memory");
    applyEncoderSettings(*enc_, t, plan);
    if ((err = avcodec_open2(enc_.get(), plan.codec, nullptr)) < 0)
        throw ConverterError(
            "Cannot start the encoder " + std::string(plan.codec->name) + " for \"" + t.type + "\" (" +
            std::to_string(plan.sampleRate) + " Hz, " + std::to_string(plan.layout.nb_channels) +
            " channels" + (t.bitRate ? ", " + std::to_string(t.bitRate / 1000) + " kbit/s" : std::string()) +
            "): " + avErrorText(err));

    stream_ = avformat_new_stream(out_, nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, enc_.get()) < 0)
        throw ConverterError("Out of memory");
    stream_->time_base = enc_->time_base;
    if (tags) {
        av_dict_copy(&out_->metadata, tags, 0);
        if (t.muxer == "ogg") // Vorbis comments are the stream's
            av_dict_copy(&stream_->metadata, tags, 0);
    }

    if ((err = avio_open(&out_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0)
        throw ConverterError("Cannot write the output file '" + path + "': " + avErrorText(err));
    if ((err = avformat_write_header(out_, nullptr)) < 0)
        throw ConverterError("Cannot write the output file '" + path + "': " + avErrorText(err));
    headerWritten_ = true;

    const bool variable = plan.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    frameSize_ = (enc_->frame_size > 0 && !variable) ? enc_->frame_size : 4096;
    wholeFrames_ =
        enc_->frame_size > 0 && !variable && !(plan.codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    fifo_.reset(av_audio_fifo_alloc(enc_->sample_fmt, enc_->ch_layout.nb_channels, frameSize_ * 4));
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!fifo_ || !frame_ || !packet_)
        throw ConverterError("Out of memory");
}

AudioEncoder::~AudioEncoder() {
    if (out_) {
        if (out_->pb)
            avio_closep(&out_->pb);
        avformat_free_context(out_);
    }
}

void AudioEncoder::write(const uint8_t* const* data, int frames) {
    if (frames <= 0)
        return;
    if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(const_cast<uint8_t**>(data)), frames) <
        frames)
        throw ConverterError("Out of memory");
    written_ += frames;
    sendFrames(false);
}

void AudioEncoder::sendFrames(bool last) {
    while (true) {
        const int available = av_audio_fifo_size(fifo_.get());
        if (available == 0 || (available < frameSize_ && !last))
            return;
        const int n = std::min(available, frameSize_);
        const int size = wholeFrames_ ? frameSize_ : n;
        if (!frame_->buf[0] || frame_->nb_samples != size) {
            av_frame_unref(frame_.get());
            frame_->nb_samples = size;
            frame_->format = enc_->sample_fmt;
            frame_->sample_rate = enc_->sample_rate;
            av_channel_layout_copy(&frame_->ch_layout, &enc_->ch_layout);
            if (av_frame_get_buffer(frame_.get(), 0) < 0)
                throw ConverterError("Out of memory");
        }
        // The encoder may still hold the previous frame's buffer.
        if (av_frame_make_writable(frame_.get()) < 0)
            throw ConverterError("Out of memory");
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), n) < n)
            throw ConverterError("Cannot read the sample queue");
        if (n < size) // the last frame of a codec that takes whole frames only
            av_samples_set_silence(frame_->extended_data, n, size - n, enc_->ch_layout.nb_channels,
                                   enc_->sample_fmt);
        frame_->pts = pts_;
        pts_ += size;
        send(frame_.get());
    }
}

void AudioEncoder::send(AVFrame* frame) {
    int err = avcodec_send_frame(enc_.get(), frame);
    if (err < 0)
        throw ConverterError("Encoder failure (" + std::string(enc_->codec->name) + "): " + avErrorText(err));
    while (true) {
        err = avcodec_receive_packet(enc_.get(), packet_.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return;
        if (err < 0)
            throw ConverterError("Encoder failure (" + std::string(enc_->codec->name) +
                                 "): " + avErrorText(err));
        av_packet_rescale_ts(packet_.get(), enc_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        if ((err = av_write_frame(out_, packet_.get())) < 0)
            throw ConverterError("Cannot write the output file '" + path_ + "': " + avErrorText(err));
        av_packet_unref(packet_.get());
    }
}

void AudioEncoder::finish() {
    sendFrames(true);
    send(nullptr);
    int err = av_write_trailer(out_);
    if (err < 0)
        throw ConverterError("Cannot finish the output file '" + path_ + "': " + avErrorText(err));
    if (out_->pb->error < 0)
        throw ConverterError("Cannot write the output file '" + path_ + "': " + avErrorText(out_->pb->error));
    if ((err = avio_closep(&out_->pb)) < 0)
        throw ConverterError("Cannot close the output file '" + path_ + "': " + avErrorText(err));
    // The file must be whole on disk before it takes the target's name.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw ConverterError("Cannot write the output file '" + path_ + "' to disk");
    }
    ::close(fd);
}

} // namespace ks3::conv
