#pragma once

#include "converter/AudioEffect.h"
#include "converter/Biquad.h"

#include <array>
#include <vector>

namespace ks3::conv {

// 18-band graphic equaliser: one peaking filter per band, the centres spaced
// evenly on a logarithmic scale from 60 Hz to 16 kHz, each as wide as the
// distance to its neighbours. A band at 0 dB, or at or above 0.45 times the
// sample rate (it cannot be reproduced), adds no filter.
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
    int channels_;
    std::vector<Biquad> filters_;
    std::vector<float> buffer_;
};

} // namespace ks3::conv
