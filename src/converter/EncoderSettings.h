#pragma once

#include "converter/AudioEncoder.h"
#include "converter/Ffmpeg.h"
#include "converter/TargetFormat.h"

namespace ks3::conv {

// Gives an encoder context what the target and the plan ask for: rate,
// channels, sample format, bit rate or Vorbis quality, FLAC sample size and
// level, global header when the container wants one.
void applyEncoderSettings(AVCodecContext& context, const TargetFormat& target, const OutputPlan& plan);

// Whether the plan's encoder opens with these settings. Nothing is written;
// what the encoder libraries print about a refusal is kept off the output.
bool encoderAccepts(const TargetFormat& target, const OutputPlan& plan);

} // namespace ks3::conv
