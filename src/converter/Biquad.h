#pragma once

#include <cmath>
#include <numbers>
#include <vector>

namespace ks3::conv {

// A second-order filter section (transposed direct form II), one state per channel.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    std::vector<double> z1, z2;

    void setChannels(int channels) {
        z1.assign(std::size_t(channels), 0.0);
        z2.assign(std::size_t(channels), 0.0);
    }
    void clear() { setChannels(int(z1.size())); }

    double run(double x, int c) {
        const double y = b0 * x + z1[c];
        z1[c] = b1 * x - a1 * y + z2[c];
        z2[c] = b2 * x - a2 * y;
        return y;
    }

    // Peaking equaliser (the usual cookbook design): gainDb at f0, bandwidth set by q.
    static Biquad peaking(double f0, double q, double gainDb, double rate) {
        const double A = std::pow(10.0, gainDb / 40.0);
        const double w = 2.0 * std::numbers::pi * f0 / rate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha / A;
        Biquad f;
        f.b0 = (1.0 + alpha * A) / a0;
        f.b1 = -2.0 * std::cos(w) / a0;
        f.b2 = (1.0 - alpha * A) / a0;
        f.a1 = -2.0 * std::cos(w) / a0;
        f.a2 = (1.0 - alpha / A) / a0;
        return f;
    }
};

} // namespace ks3::conv
