#include "converter/GraphicEqualizer.h"

#include <cmath>

namespace ks3::conv {

double GraphicEqualizer::bandFrequency(int band) {
    return 60.0 * std::pow(16000.0 / 60.0, double(band) / double(kBands - 1));
}

GraphicEqualizer::GraphicEqualizer(const std::array<double, kBands>& gainsDb, int sampleRate, int channels)
    : channels_(channels) {
    // Bandwidth in octaves between two neighbouring centres, and the Q for it.
    const double octaves = std::log2(16000.0 / 60.0) / double(kBands - 1);
    const double q = std::sqrt(std::pow(2.0, octaves)) / (std::pow(2.0, octaves) - 1.0);
    for (int b = 0; b < kBands; ++b) {
        const double f = bandFrequency(b);
        if (gainsDb[b] == 0.0 || f >= 0.45 * sampleRate)
            continue;
        filters_.push_back(Biquad::peaking(f, q, gainsDb[b], sampleRate));
        filters_.back().setChannels(channels);
    }
}

void GraphicEqualizer::reset() {
    for (Biquad& f : filters_)
        f.clear();
}

void GraphicEqualizer::process(const float* in, std::size_t frames, const SampleSink& out) {
    buffer_.assign(in, in + frames * channels_);
    for (Biquad& f : filters_)
        for (std::size_t i = 0; i < frames; ++i)
            for (int c = 0; c < channels_; ++c) {
                float& x = buffer_[i * channels_ + c];
                x = float(f.run(x, c));
            }
    out(buffer_.data(), frames);
}

} // namespace ks3::conv
