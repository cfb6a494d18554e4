#pragma once

#include "converter/ConverterOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks3::conv {

enum class PcmOrder { None, LittleEndian, BigEndian };

// The output that a -convert_to type and its settings ask for. Zero in
// sampleRate, channels or pcmBits means "as the source".
struct TargetFormat {
    std::string type;                  // the -convert_to text
    std::string muxer;                 // FFmpeg container name
    std::vector<std::string> encoders; // FFmpeg encoder names, the first one available is used
    PcmOrder pcm = PcmOrder::None;     // PCM targets: byte order of the samples
    int pcmBits = 0;                   // PCM: 8, 16, 24 or 32
    int sampleRate = 0;
    int channels = 0;
    int maxChannels = 0;            // the codec's limit; a source with more is mixed down
    int maxSampleRate = 0;          // the codec's limit when it has no list of rates
    std::int64_t bitRate = 0;       // bits per second, constant bit rate
    bool vorbisQuality = false;     // Vorbis: encode for quality rather than bit rate
    double quality = 0.0;           // Vorbis quality, -0.1 .. 1.0
    bool vorbisManaged = false;     // Vorbis: bit rate managed by the encoder
    int compressionLevel = -1;      // FLAC
    std::vector<std::string> notes; // remarks printed on the standard output
};

// Checks the type and its settings; throws ConverterError(ExitBadArguments)
// for an unknown type, a setting the type does not take or a bad value.
TargetFormat resolveTarget(const ConverterOptions& options);

} // namespace ks3::conv
