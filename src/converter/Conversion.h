#pragma once

#include "converter/ConverterOptions.h"
#include "converter/TargetFormat.h"

#include <string>
#include <vector>

namespace ks3::conv {

// One conversion: decodes the source, runs the effects, encodes into the file
// `writeTo` (the caller renames it to the target once it is complete). An
// effect that must measure the sound first gets its own decoding pass.
// Throws ConverterError.
void convert(const ConverterOptions& options, const TargetFormat& target, const std::string& writeTo,
             std::vector<std::string>& remarks);

} // namespace ks3::conv
