#pragma once

#include <cstddef>
#include <functional>

namespace ks3::conv {

// Where an effect hands its samples on: float, interleaved by channel.
using SampleSink = std::function<void(const float* samples, std::size_t frames)>;

// One DSP effect of the chain. Every effect works as a stream (bounded
// memory); one that must see the whole sound first (normalisation) asks for an
// analysis pass, in which the source is decoded once more and run through the
// effects before it.
class AudioEffect {
public:
    virtual ~AudioEffect() = default;

    // Start of a pass over the sound.
    virtual void reset() = 0;
    // Takes frames and hands on what is ready (it may hold some back).
    virtual void process(const float* in, std::size_t frames, const SampleSink& out) = 0;
    // End of the sound: hands on what was held back.
    virtual void flush(const SampleSink& out) = 0;

    virtual bool needsAnalysis() const { return false; }
    virtual void analyse(const float* in, std::size_t frames) {}
    virtual void finishAnalysis() {}
};

} // namespace ks3::conv
