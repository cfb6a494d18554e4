#pragma once

#include "converter/AudioEffect.h"

#include <array>
#include <vector>

namespace ks3::conv {

// 18-band graphic equaliser: one peaking filter per band, the centres spaced
// evenly on a logarithmic scale from 60 Hz to 16 kHz, each as wide as the
// distance to its neighbours. A band at 0 dB, or at or above 0.45 times the
// sample rate (it cannot be reproduced), adds no filter.
//
// The filters run as one cascade per sample, two channels at once (one vector
// of two doubles: left and right of a stereo frame go through the same
// coefficients side by side), so that a frame costs one pass over the bands.
class GraphicEqualizer final : public AudioEffect {
public:
    static constexpr int kBands = 18;
    static double bandFrequency(int band);

    GraphicEqualizer(const std::array<double, kBands>& gainsDb, int sampleRate, int channels);

    void reset() override;
    void process(const float* in, std::size_t frames, const SampleSink& out) override;
    void flush(const SampleSink& out) override {}

    bool isNeutral() const { return filters_.empty(); }

private:
    // Two doubles in one register (GCC and Clang vector extension).
    using Pair = double __attribute__((vector_size(16)));
    struct Coefficients {
        double b0, b1, b2, a1, a2;
    };
    int channels_;
    std::vector<Coefficients> filters_;
    // Per pair of channels (the last one alone when their number is odd), the
    // two states of every filter.
    std::vector<Pair> state_;
    std::vector<float> buffer_;
};

} // namespace ks3::conv
