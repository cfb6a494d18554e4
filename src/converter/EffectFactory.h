#pragma once

#include "converter/AudioEffect.h"
#include "converter/ConverterOptions.h"

#include <memory>
#include <vector>

namespace ks3::conv {

// Checks every requested effect (name and parameters) before anything is
// decoded; throws ConverterError(ExitBadArguments) on a bad one.
void validateEffects(const std::vector<EffectRequest>& effects);

// The effect chain, in the order of the requests, for the given output rate
// and channel count. Effects that change nothing (an equaliser with every band
// at 0 dB, a fixed gain of 0 dB) are left out.
std::vector<std::unique_ptr<AudioEffect>> makeEffects(const std::vector<EffectRequest>& effects,
                                                      int sampleRate, int channels);

} // namespace ks3::conv
