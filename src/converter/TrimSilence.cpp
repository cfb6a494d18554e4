#include "converter/TrimSilence.h"

#include "converter/ConverterError.h"

#include <algorithm>
#include <cmath>

namespace ks3::conv {

namespace {
// Held in memory before spilling: 5 s of stereo 48 kHz.
constexpr std::size_t kMemoryFrames = 48000 * 5;
} // namespace

TrimSilence::TrimSilence(const Settings& s, int sampleRate, int channels)
    : s_(s), channels_(channels),
      threshold_(s.digitalOnly ? 0.0f : float(std::pow(10.0, s.thresholdDb / 20.0))),
      minimumFrames_(std::size_t(std::max(0.0, s.minimumMs) * sampleRate / 1000.0 + 0.5)) {
    reset();
}

TrimSilence::~TrimSilence() {
    if (spill_)
        std::fclose(spill_);
}

void TrimSilence::reset() {
    inBody_ = !s_.start;
    droppingLead_ = false;
    dropHeld();
}

bool TrimSilence::quiet(const float* frame) const {
    for (int c = 0; c < channels_; ++c) {
        const float a = std::fabs(frame[c]);
        if (s_.digitalOnly ? a != 0.0f : a >= threshold_)
            return false;
    }
    return true;
}

void TrimSilence::hold(const float* frames, std::size_t n) {
    if (n == 0)
        return;
    const std::size_t room = heldFrames_ < kMemoryFrames ? kMemoryFrames - heldFrames_ : 0;
    const std::size_t inMemory = std::min(room, n);
    held_.insert(held_.end(), frames, frames + inMemory * channels_);
    if (n > inMemory) {
        if (!spill_ && !(spill_ = std::tmpfile()))
            throw ConverterError("Trim Silence: no temporary file for a long silence");
        const std::size_t rest = n - inMemory;
        if (std::fwrite(frames + inMemory * channels_, sizeof(float) * channels_, rest, spill_) != rest)
            throw ConverterError("Trim Silence: cannot write the temporary file of a long silence");
        spilledFrames_ += rest;
    }
    heldFrames_ += n;
}

void TrimSilence::releaseHeld(const SampleSink& out) {
    if (!held_.empty())
        out(held_.data(), held_.size() / channels_);
    if (spilledFrames_) {
        std::rewind(spill_);
        std::vector<float> buf(std::size_t(8192) * channels_);
        for (std::size_t left = spilledFrames_; left > 0;) {
            const std::size_t n = std::min<std::size_t>(8192, left);
            if (std::fread(buf.data(), sizeof(float) * channels_, n, spill_) != n)
                throw ConverterError("Trim Silence: cannot read back the temporary file of a long silence");
            out(buf.data(), n);
            left -= n;
        }
    }
    dropHeld();
}

void TrimSilence::dropHeld() {
    held_.clear();
    heldFrames_ = 0;
    if (spill_) {
        std::fclose(spill_);
        spill_ = nullptr;
    }
    spilledFrames_ = 0;
}

void TrimSilence::process(const float* in, std::size_t frames, const SampleSink& out) {
    std::size_t i = 0;
    while (i < frames) {
        if (!inBody_) {
            // Leading part: quiet frames are held until the run is long enough
            // to count as a silence, then dropped as they come.
            std::size_t j = i;
            while (j < frames && quiet(in + j * channels_))
                ++j;
            if (droppingLead_) {
                // nothing kept
            } else if (heldFrames_ + (j - i) >= minimumFrames_) {
                dropHeld();
                droppingLead_ = true;
            } else {
                hold(in + i * channels_, j - i);
            }
            i = j;
            if (i < frames) { // sound: a short quiet start is kept
                releaseHeld(out);
                inBody_ = true;
            }
            continue;
        }
        if (!s_.end) {
            out(in + i * channels_, frames - i);
            return;
        }
        // Body: sound goes straight on; a quiet run waits for what follows.
        std::size_t j = i;
        while (j < frames && !quiet(in + j * channels_))
            ++j;
        if (j > i) {
            releaseHeld(out);
            out(in + i * channels_, j - i);
        }
        i = j;
        std::size_t k = i;
        while (k < frames && quiet(in + k * channels_))
            ++k;
        hold(in + i * channels_, k - i);
        i = k;
    }
}

void TrimSilence::flush(const SampleSink& out) {
    // A held run is the end of the sound (or, with no sound at all, all of it).
    const bool isSilence = heldFrames_ >= minimumFrames_;
    if (!inBody_ || s_.end) {
        if (isSilence)
            dropHeld();
        else
            releaseHeld(out);
    }
}

} // namespace ks3::conv
