#include "converter/GraphicEqualizer.h"

#include "converter/Biquad.h"

#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
        const Biquad peak = Biquad::peaking(f, q, gainsDb[b], sampleRate);
        filters_.push_back({peak.b0, peak.b1, peak.b2, peak.a1, peak.a2});
    }
    reset();
}

void GraphicEqualizer::reset() {
    state_.assign(std::size_t((channels_ + 1) / 2) * filters_.size() * 2, Pair{0.0, 0.0});
}

namespace {

// One pass of a pair of channels through the chain of filters, frame after
// frame (transposed direct form II; a peaking filter has b1 = a1, which saves
// a product: z1 = a1 (x - y) + z2).
template <class Pair, class Coefficients>
void cascade(const Coefficients* coef, std::size_t n, Pair* z, const float* in, float* out,
             std::size_t frames, std::size_t ch, bool two) {
    for (std::size_t i = 0; i < frames; ++i) {
        const float* frame = in + i * ch;
        Pair x = {double(frame[0]), two ? double(frame[1]) : 0.0};
        for (std::size_t k = 0; k < n; ++k) {
            const Coefficients& f = coef[k];
            const Pair y = f.b0 * x + z[2 * k];
            z[2 * k] = f.a1 * (x - y) + z[2 * k + 1];
            z[2 * k + 1] = f.b2 * x - f.a2 * y;
            x = y;
        }
        float* o = out + i * ch;
        o[0] = float(x[0]);
        if (two)
            o[1] = float(x[1]);
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same with fused multiply-adds, on a processor that has them: fewer
// operations per filter, and one rounding instead of two.
template <class Pair, class Coefficients>
__attribute__((target("fma"))) void cascadeFma(const Coefficients* coef, std::size_t n, Pair* z,
                                               const float* in, float* out, std::size_t frames,
                                               std::size_t ch, bool two) {
    auto* state = reinterpret_cast<__m128d*>(z);
    for (std::size_t i = 0; i < frames; ++i) {
        const float* frame = in + i * ch;
        __m128d x = _mm_set_pd(two ? double(frame[1]) : 0.0, double(frame[0]));
        for (std::size_t k = 0; k < n; ++k) {
            const Coefficients& f = coef[k];
            const __m128d y = _mm_fmadd_pd(_mm_set1_pd(f.b0), x, state[2 * k]);
            state[2 * k] = _mm_fmadd_pd(_mm_set1_pd(f.a1), _mm_sub_pd(x, y), state[2 * k + 1]);
            state[2 * k + 1] = _mm_fmsub_pd(_mm_set1_pd(f.b2), x, _mm_mul_pd(_mm_set1_pd(f.a2), y));
            x = y;
        }
        float* o = out + i * ch;
        o[0] = float(_mm_cvtsd_f64(x));
        if (two)
            o[1] = float(_mm_cvtsd_f64(_mm_unpackhi_pd(x, x)));
    }
}

bool hasFma() {
    static const bool fma = __builtin_cpu_supports("fma");
    return fma;
}
#endif

} // namespace

void GraphicEqualizer::process(const float* in, std::size_t frames, const SampleSink& out) {
    const std::size_t ch = std::size_t(channels_);
    const std::size_t n = filters_.size();
    buffer_.resize(frames * ch);
    for (std::size_t c0 = 0; c0 < ch; c0 += 2) {
        const bool two = c0 + 1 < ch;
        Pair* z = state_.data() + (c0 / 2) * n * 2;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
        if (hasFma()) {
            cascadeFma(filters_.data(), n, z, in + c0, buffer_.data() + c0, frames, ch, two);
            continue;
        }
#endif
        cascade(filters_.data(), n, z, in + c0, buffer_.data() + c0, frames, ch, two);
    }
    out(buffer_.data(), frames);
}

} // namespace ks3::conv
