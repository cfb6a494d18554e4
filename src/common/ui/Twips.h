#pragma once

#include "common/WindowPosition.h"

namespace ks3 {

// The windows' measures are written in twips, as the suite's windows have
// them (kTwipsParPixel to a pixel).

// Twips to whole pixels, the fraction dropped: margins and positions of the
// windows' layout rules.
constexpr int pixelsDeTwips(double twips) {
    return int(twips / kTwipsParPixel);
}

// Pixels to twips.
constexpr int twipsDePixels(int pixels) {
    return pixels * kTwipsParPixel;
}

} // namespace ks3
