#pragma once

#include "common/WindowPosition.h"

#include <cmath>

namespace ks3 {

// The windows' measures are written in twips, as the suite's windows have
// them (kTwipsParPixel to a pixel).

// Twips to whole pixels, the fraction dropped: margins and positions of the
// windows' layout rules.
constexpr int pixelsDeTwips(double twips) {
    return int(twips / kTwipsParPixel);
}

// Twips to the nearest pixel: a stored window position.
inline int pixelsProchesDeTwips(int twips) {
    return int(std::lround(double(twips) / kTwipsParPixel));
}

// Pixels to twips.
constexpr int twipsDePixels(int pixels) {
    return pixels * kTwipsParPixel;
}

} // namespace ks3
