#include "converter/VolumeNormalize.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ks3::conv {

namespace {

constexpr double kAbsoluteGateDb = -70.0;
constexpr double kRelativeGateDb = -10.0;

double powerToDb(double p) {
    return p > 1e-20 ? -0.691 + 10.0 * std::log10(p) : -200.0;
}
double linearToDb(double a) {
    return a > 1e-10 ? 20.0 * std::log10(a) : -200.0;
}

// Gated mean loudness of blocks [b, e): blocks under the absolute gate are
// left out, then those more than 10 dB under the mean of the others. NaN when
// no block passes.
double gatedLoudness(const std::vector<float>& power, std::size_t b, std::size_t e) {
    const double absGate = std::pow(10.0, (kAbsoluteGateDb + 0.691) / 10.0);
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = b; i < e; ++i)
        if (power[i] > absGate) {
            sum += power[i];
            ++n;
        }
    if (n == 0)
        return std::numeric_limits<double>::quiet_NaN();
    const double relGate = sum / n * std::pow(10.0, kRelativeGateDb / 10.0);
    double sum2 = 0.0;
    std::size_t n2 = 0;
    for (std::size_t i = b; i < e; ++i)
        if (power[i] > absGate && power[i] > relGate) {
            sum2 += power[i];
            ++n2;
        }
    return powerToDb(n2 ? sum2 / n2 : sum / n);
}

} // namespace

VolumeNormalize::VolumeNormalize(const Settings& s, int sampleRate, int channels)
    : s_(s), rate_(sampleRate), channels_(channels), blockFrames_(std::size_t(std::max(1, sampleRate / 10))) {
    // K-weighting: a high-frequency shelf and a low cut (the loudness meters' curve).
    {
        const double f0 = 1681.974450955533, g = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(std::numbers::pi * f0 / rate_);
        const double vh = std::pow(10.0, g / 20.0), vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        shelf_.b0 = (vh + vb * k / q + k * k) / a0;
        shelf_.b1 = 2.0 * (k * k - vh) / a0;
        shelf_.b2 = (vh - vb * k / q + k * k) / a0;
        shelf_.a1 = 2.0 * (k * k - 1.0) / a0;
        shelf_.a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(std::numbers::pi * f0 / rate_);
        const double a0 = 1.0 + k / q + k * k;
        highPass_.b0 = 1.0;
        highPass_.b1 = -2.0;
        highPass_.b2 = 1.0;
        highPass_.a1 = 2.0 * (k * k - 1.0) / a0;
        highPass_.a2 = (1.0 - k / q + k * k) / a0;
    }
    shelf_.setChannels(channels);
    highPass_.setChannels(channels);
    if (s_.mode == Mode::Fixed) {
        gainDb_ = std::min(s_.fixedDb, s_.maxGainDb);
        gain_ = float(std::pow(10.0, gainDb_ / 20.0));
    }
}

void VolumeNormalize::reset() {
    position_ = 0;
    shelf_.clear();
    highPass_.clear();
}

void VolumeNormalize::analyse(const float* in, std::size_t frames) {
    for (std::size_t f = 0; f < frames; ++f) {
        const float* x = in + f * channels_;
        for (int c = 0; c < channels_; ++c) {
            const float a = std::fabs(x[c]);
            peak_ = std::max(peak_, a);
            blockPeak_ = std::max(blockPeak_, a);
            const double k = highPass_.run(shelf_.run(x[c], c), c);
            blockSum_ += k * k;
        }
        if (++blockFill_ == blockFrames_)
            closeBlock();
    }
}

void VolumeNormalize::closeBlock() {
    if (blockFill_ == 0)
        return;
    blockPower_.push_back(float(blockSum_ / (double(blockFill_) * channels_)));
    blockPeaks_.push_back(blockPeak_);
    blockSum_ = 0.0;
    blockPeak_ = 0.0f;
    blockFill_ = 0;
}

void VolumeNormalize::finishAnalysis() {
    closeBlock();
    const double peakDb = linearToDb(peak_);
    const double headroom = -peakDb; // gain that brings the peak to full scale
    switch (s_.mode) {
    case Mode::Peak:
        gainDb_ = peak_ > 0.0f ? std::min(s_.desiredDb - peakDb, s_.maxGainDb) : 0.0;
        break;
    case Mode::Average: {
        // Loudness uses 400 ms windows every 100 ms.
        std::vector<float> windows;
        for (std::size_t i = 0; i + 4 <= blockPower_.size(); ++i)
            windows.push_back(
                (blockPower_[i] + blockPower_[i + 1] + blockPower_[i + 2] + blockPower_[i + 3]) / 4);
        if (windows.empty() && !blockPower_.empty()) { // a sound shorter than 400 ms
            double sum = 0;
            for (float p : blockPower_)
                sum += p;
            windows.push_back(float(sum / blockPower_.size()));
        }
        const double loudness = gatedLoudness(windows, 0, windows.size());
        gainDb_ = std::isnan(loudness) ? 0.0 : std::min({s_.desiredDb - loudness, s_.maxGainDb, headroom});
        break;
    }
    case Mode::Adaptive: {
        const std::size_t n = blockPower_.size();
        const std::size_t half = std::size_t(std::max(100.0, s_.windowMs) / 200.0 + 0.5); // blocks each side
        std::vector<float> g(n, std::numeric_limits<float>::quiet_NaN());
        for (std::size_t b = 0; b < n; ++b) {
            const std::size_t lo = b > half ? b - half : 0;
            const std::size_t hi = std::min(n, b + half + 1);
            const double level = gatedLoudness(blockPower_, lo, hi);
            if (!std::isnan(level))
                g[b] = float(std::min(s_.desiredDb - level, s_.maxGainDb));
        }
        // Where the window holds only silence the gain holds its last value.
        float last = 0.0f;
        auto firstValid = std::find_if(g.begin(), g.end(), [](float v) { return !std::isnan(v); });
        if (firstValid != g.end())
            last = *firstValid;
        for (float& v : g)
            v = std::isnan(v) ? last : (last = v);
        // Between two block centres the gain moves linearly, so each block's
        // gain also respects its neighbours' peaks.
        blockGainDb_.assign(n, 0.0f);
        for (std::size_t b = 0; b < n; ++b) {
            float limit = float(-linearToDb(blockPeaks_[b]));
            if (b > 0)
                limit = std::min(limit, float(-linearToDb(blockPeaks_[b - 1])));
            if (b + 1 < n)
                limit = std::min(limit, float(-linearToDb(blockPeaks_[b + 1])));
            blockGainDb_[b] = std::min(g[b], limit);
        }
        break;
    }
    case Mode::Fixed:
        break;
    }
    gain_ = float(std::pow(10.0, gainDb_ / 20.0));
    blockPower_.clear();
    blockPower_.shrink_to_fit();
    blockPeaks_.clear();
    blockPeaks_.shrink_to_fit();
}

double VolumeNormalize::gainAt(std::uint64_t frame) const {
    const std::size_t n = blockGainDb_.size();
    if (n == 0)
        return 0.0;
    // Position in blocks, measured from the centre of block 0.
    const double x = (double(frame) + 0.5) / double(blockFrames_) - 0.5;
    if (x <= 0.0)
        return blockGainDb_.front();
    const std::size_t b = std::size_t(x);
    if (b + 1 >= n)
        return blockGainDb_.back();
    const double t = x - double(b);
    return blockGainDb_[b] * (1.0 - t) + blockGainDb_[b + 1] * t;
}

void VolumeNormalize::process(const float* in, std::size_t frames, const SampleSink& out) {
    buffer_.resize(frames * channels_);
    if (s_.mode == Mode::Adaptive) {
        for (std::size_t f = 0; f < frames; ++f) {
            const float g = float(std::pow(10.0, gainAt(position_ + f) / 20.0));
            for (int c = 0; c < channels_; ++c)
                buffer_[f * channels_ + c] = in[f * channels_ + c] * g;
        }
    } else {
        for (std::size_t i = 0; i < frames * channels_; ++i)
            buffer_[i] = in[i] * gain_;
    }
    position_ += frames;
    out(buffer_.data(), frames);
}

} // namespace ks3::conv
