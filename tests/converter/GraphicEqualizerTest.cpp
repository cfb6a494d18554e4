// The graphic equaliser measured: tones at the band centres run through it,
// their level compared before and after, against the response of the
// equaliser's peaking filters (the usual cookbook design, one band wide).
#include "converter/GraphicEqualizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

using ks3::conv::GraphicEqualizer;

namespace {

constexpr int kRate = 44100;
using Gains = std::array<double, GraphicEqualizer::kBands>;

// The gain in dB of the chain of peaking filters at f, from their transfer
// functions evaluated on the unit circle.
double responseDb(const Gains& gains, double f) {
    const double octaves = std::log2(16000.0 / 60.0) / (GraphicEqualizer::kBands - 1);
    const double bw = std::pow(2.0, octaves);
    const double q = std::sqrt(bw) / (bw - 1.0);
    const std::complex<double> z = std::polar(1.0, 2.0 * std::numbers::pi * f / kRate);
    double db = 0;
    for (int b = 0; b < GraphicEqualizer::kBands; ++b) {
        const double f0 = GraphicEqualizer::bandFrequency(b);
        if (gains[b] == 0 || f0 >= 0.45 * kRate)
            continue;
        const double a = std::pow(10.0, gains[b] / 40.0);
        const double w0 = 2.0 * std::numbers::pi * f0 / kRate;
        const double alpha = std::sin(w0) / (2.0 * q);
        const std::complex<double> zi = 1.0 / z, zi2 = zi * zi;
        const std::complex<double> num =
            (1.0 + alpha * a) - 2.0 * std::cos(w0) * zi + (1.0 - alpha * a) * zi2;
        const std::complex<double> den =
            (1.0 + alpha / a) - 2.0 * std::cos(w0) * zi + (1.0 - alpha / a) * zi2;
        db += 20.0 * std::log10(std::abs(num / den));
    }
    return db;
}

// Gain in dB of each channel for a tone at f: channel c gets amplitude
// 0.1 / (c + 1) and its own phase; the level is measured over the last second
// of two, once the filters have settled. The sound goes in in uneven blocks.
std::vector<double> measuredDb(GraphicEqualizer& eq, int channels, double f) {
    const std::size_t frames = 2 * kRate;
    std::vector<float> in(frames * channels);
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            in[i * channels + c] =
                float(0.1 / (c + 1) * std::sin(2.0 * std::numbers::pi * f * double(i) / kRate + c));
    std::vector<float> out;
    eq.reset();
    for (std::size_t at = 0; at < frames;) {
        const std::size_t n = std::min<std::size_t>(frames - at, 997 + at % 3);
        eq.process(in.data() + at * channels, n,
                   [&](const float* s, std::size_t got) { out.insert(out.end(), s, s + got * channels); });
        at += n;
    }
    EXPECT_EQ(out.size(), in.size());
    std::vector<double> db;
    for (int c = 0; c < channels; ++c) {
        double sumIn = 0, sumOut = 0;
        for (std::size_t i = frames / 2; i < frames; ++i) {
            sumIn += double(in[i * channels + c]) * in[i * channels + c];
            sumOut += double(out[i * channels + c]) * out[i * channels + c];
        }
        db.push_back(10.0 * std::log10(sumOut / sumIn));
    }
    return db;
}

} // namespace

TEST(GraphicEqualizer, ResponseAtEveryBandCentreWithinATenthOfADecibel) {
    struct Case {
        const char* name;
        Gains gains;
    };
    Gains alternating{};
    Gains mixed{};
    for (int b = 0; b < GraphicEqualizer::kBands; ++b) {
        alternating[b] = b % 2 ? -6.0 : 6.0;
        mixed[b] = std::fmod(b * 7.3, 24.0) - 12.0; // -12 to +12 dB, no order
    }
    Gains one{};
    one[9] = 12.0;
    Gains low{};
    low[0] = -12.0;
    const Case cases[] = {{"one band boosted", one},
                          {"lowest band cut", low},
                          {"alternating", alternating},
                          {"every band its own gain", mixed}};
    for (const Case& c : cases)
        for (int channels : {1, 2, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", channels " + std::to_string(channels));
            GraphicEqualizer eq(c.gains, kRate, channels);
            for (int b = 0; b < GraphicEqualizer::kBands; ++b) {
                const double f = GraphicEqualizer::bandFrequency(b);
                const double expected = responseDb(c.gains, f);
                for (double got : measuredDb(eq, channels, f))
                    EXPECT_NEAR(got, expected, 0.1) << "band " << b << " at " << f << " Hz";
            }
        }
    // A lone band gives its own gain at its centre.
    GraphicEqualizer lone(one, kRate, 2);
    for (double got : measuredDb(lone, 2, GraphicEqualizer::bandFrequency(9)))
        EXPECT_NEAR(got, 12.0, 0.1);
}
