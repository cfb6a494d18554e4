#include "converter/Conversion.h"

#include "converter/AudioDecoder.h"
#include "converter/AudioEncoder.h"
#include "converter/ConverterError.h"
#include "converter/EffectFactory.h"
#include "converter/Resampler.h"

#include <algorithm>
#include <memory>

namespace ks3::conv {

namespace {

using Chain = std::vector<std::unique_ptr<AudioEffect>>;

bool sameParameters(const AVFrame* f, const OutputPlan& p) {
    return f->format == p.sampleFormat && f->sample_rate == p.sampleRate &&
           av_channel_layout_compare(&f->ch_layout, &p.layout) == 0;
}

// Decodes the whole source and runs the first `count` effects of the chain,
// handing the result to `sink`. Samples reach the chain as float, interleaved,
// at the output's rate and channels.
void runChain(AudioDecoder& decoder, const OutputPlan& plan, Chain& chain, std::size_t count,
              const SampleSink& sink) {
    for (std::size_t i = 0; i < count; ++i)
        chain[i]->reset();
    // sinks[i] feeds effect i; sinks[count] is the caller's.
    std::vector<SampleSink> sinks(count + 1);
    sinks[count] = sink;
    for (std::size_t i = count; i-- > 0;)
        sinks[i] = [&, i](const float* s, std::size_t n) { chain[i]->process(s, n, sinks[i + 1]); };

    Resampler toFloat(AV_SAMPLE_FMT_FLT, plan.sampleRate, plan.layout);
    decoder.run([&](const AVFrame* f) {
        const int n = toFloat.convert(f);
        if (n > 0)
            sinks[0](reinterpret_cast<const float*>(toFloat.output()[0]), std::size_t(n));
    });
    const int n = toFloat.flush();
    if (n > 0)
        sinks[0](reinterpret_cast<const float*>(toFloat.output()[0]), std::size_t(n));
    for (std::size_t i = 0; i < count; ++i)
        chain[i]->flush(sinks[i + 1]);
}

void checkDecoded(const AudioDecoder& d, const std::string& path, std::vector<std::string>& remarks) {
    if (d.decodedFrames() == 0)
        throw ConverterError("No audio could be decoded from the source file '" + path + "'");
    if (d.damagedPackets() > 0)
        remarks.push_back("Warning: " + std::to_string(d.damagedPackets()) +
                          " damaged part(s) of the source were skipped");
}

} // namespace

void convert(const ConverterOptions& o, const TargetFormat& target, const std::string& writeTo,
             std::vector<std::string>& remarks) {
    auto decoder = std::make_unique<AudioDecoder>(o.infile);
    const bool withEffects = !o.effects.empty();
    const OutputPlan plan =
        planOutput(target, decoder->sampleRate(), decoder->layout(), decoder->sourceBits(),
                   withEffects ? AV_SAMPLE_FMT_FLT : decoder->sampleFormat());
    const int channels = plan.layout.nb_channels;
    remarks.insert(remarks.end(), plan.notes.begin(), plan.notes.end());

    Chain chain = makeEffects(o.effects, plan.sampleRate, channels);

    // Measuring passes, one per effect that needs the whole sound; each runs
    // the effects before it, so it measures what it will be given.
    bool decoderUsed = false;
    for (std::size_t k = 0; k < chain.size(); ++k) {
        if (!chain[k]->needsAnalysis())
            continue;
        if (decoderUsed)
            decoder = std::make_unique<AudioDecoder>(o.infile);
        AudioEffect* e = chain[k].get();
        e->reset();
        runChain(*decoder, plan, chain, k, [e](const float* s, std::size_t n) { e->analyse(s, n); });
        checkDecoded(*decoder, o.infile, remarks);
        e->finishAnalysis();
        decoderUsed = true;
    }
    if (decoderUsed)
        decoder = std::make_unique<AudioDecoder>(o.infile);

    AudioEncoder encoder(target, plan, writeTo, decoder->metadata());

    if (chain.empty()) {
        // No effect: straight from the decoder's format to the encoder's, in
        // one conversion, or none when they already agree.
        Resampler convert(plan.sampleFormat, plan.sampleRate, plan.layout);
        decoder->run([&](const AVFrame* f) {
            if (sameParameters(f, plan)) {
                encoder.write(f->extended_data, f->nb_samples);
            } else {
                const int n = convert.convert(f);
                encoder.write(convert.output(), n);
            }
        });
        // flush() may move the buffer: output() is read after it.
        const int rest = convert.flush();
        encoder.write(convert.output(), rest);
    } else {
        // The chain's float samples, kept within full scale, to the encoder's format.
        Resampler toEncoder(plan.sampleFormat, plan.sampleRate, plan.layout);
        std::vector<float> clipped;
        runChain(*decoder, plan, chain, chain.size(), [&](const float* s, std::size_t n) {
            clipped.resize(n * channels);
            for (std::size_t i = 0; i < n * channels; ++i)
                clipped[i] = std::clamp(s[i], -1.0f, 1.0f);
            const uint8_t* data[1] = {reinterpret_cast<const uint8_t*>(clipped.data())};
            if (plan.sampleFormat == AV_SAMPLE_FMT_FLT) {
                encoder.write(data, int(n));
            } else {
                const int m =
                    toEncoder.convert(data, int(n), AV_SAMPLE_FMT_FLT, plan.sampleRate, plan.layout);
                encoder.write(toEncoder.output(), m);
            }
        });
        const int rest = toEncoder.flush();
        encoder.write(toEncoder.output(), rest);
    }
    checkDecoded(*decoder, o.infile, remarks);
    if (encoder.framesWritten() == 0)
        throw ConverterError("Nothing is left of the sound after the effects (it is silence only)");
    encoder.finish();
}

} // namespace ks3::conv
