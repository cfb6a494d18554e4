#pragma once

#include "converter/AudioEffect.h"
#include "converter/Biquad.h"

#include <cstdint>
#include <vector>

namespace ks3::conv {

// Volume normalisation.
//  - Peak: the highest sample is brought to the desired level.
//  - Average: the average loudness (K-weighted and gated, as loudness meters
//    do, in dB relative to full scale, channels averaged) is brought to the
//    desired level, without letting the peak go over full scale.
//  - Adaptive: the loudness over a sliding window (adapt_wnd ms) is brought to
//    the desired level, so quiet passages are raised and loud ones lowered; the
//    gain moves smoothly and never drives a peak over full scale.
//  - Fixed: a fixed gain.
// In every kind the gain never exceeds the maximum amplification. The first
// three measure the sound in an analysis pass; the analysis keeps one figure
// per 100 ms, never the sound itself.
class VolumeNormalize final : public AudioEffect {
public:
    enum class Mode { Peak, Average, Adaptive, Fixed };
    struct Settings {
        Mode mode = Mode::Peak;
        double desiredDb = 0.0;
        double maxGainDb = 8.0;
        double fixedDb = 0.0;
        double windowMs = 6000.0;
    };
    VolumeNormalize(const Settings& s, int sampleRate, int channels);

    void reset() override;
    void process(const float* in, std::size_t frames, const SampleSink& out) override;
    void flush(const SampleSink& out) override {}

    bool needsAnalysis() const override { return s_.mode != Mode::Fixed; }
    void analyse(const float* in, std::size_t frames) override;
    void finishAnalysis() override;

    // The gain decided (dB), for a constant-gain kind.
    double gainDb() const { return gainDb_; }

private:
    void closeBlock();
    double gainAt(std::uint64_t frame) const;

    Settings s_;
    int rate_;
    int channels_;
    std::size_t blockFrames_;
    double gainDb_ = 0.0;
    float gain_ = 1.0f;

    // Analysis state.
    Biquad shelf_, highPass_; // K-weighting
    float peak_ = 0.0f;
    double blockSum_ = 0.0;
    float blockPeak_ = 0.0f;
    std::size_t blockFill_ = 0;
    std::vector<float> blockPower_; // mean square per 100 ms block, channels averaged
    std::vector<float> blockPeaks_;

    // Adaptive gain per block (dB), and where the final pass is.
    std::vector<float> blockGainDb_;
    std::uint64_t position_ = 0;
    std::vector<float> buffer_;
};

} // namespace ks3::conv
