#pragma once

#include "converter/AudioEffect.h"

#include <cstdio>
#include <vector>

namespace ks3::conv {

// Removes the silence at the start and at the end of the sound. A silence is
// a run of at least minimumMs during which every channel stays below the
// threshold (exactly zero for digital silence); a shorter quiet run is kept.
// The silence inside the sound is never touched. A quiet run that may turn out
// to be the end of the sound is held back until a louder sample or the end
// decides; beyond a few seconds it is held in an unnamed temporary file.
class TrimSilence final : public AudioEffect {
public:
    struct Settings {
        bool start = true;
        bool end = true;
        bool digitalOnly = false;
        double thresholdDb = -50.0;
        double minimumMs = 100.0;
    };
    TrimSilence(const Settings& s, int sampleRate, int channels);
    ~TrimSilence() override;

    void reset() override;
    void process(const float* in, std::size_t frames, const SampleSink& out) override;
    void flush(const SampleSink& out) override;

private:
    bool quiet(const float* frame) const;
    void hold(const float* frames, std::size_t n);
    void releaseHeld(const SampleSink& out);
    void dropHeld();

    Settings s_;
    int channels_;
    float threshold_;
    std::size_t minimumFrames_;
    bool inBody_ = false;       // the first sound of the file was met (or the start is kept)
    bool droppingLead_ = false; // the leading quiet run is long enough: it goes
    std::size_t heldFrames_ = 0;
    std::vector<float> held_;    // first part of the held quiet run
    std::FILE* spill_ = nullptr; // the rest of it, when long
    std::size_t spilledFrames_ = 0;
};

} // namespace ks3::conv
