// The audio side of validation: test material, channel buffers with guard
// zones, a host transport that can jump, stop and loop, and a driver that
// runs the plug-in's process entry and inspects every output sample.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "host/vst2.h"
#include "validation/validate_context.h"

namespace tramvek {

// Test input never exceeds full scale. Effects with feedback or overdub may
// legitimately build up well above it (an overdub keeping 99 % per pass holds
// about 100 times its input), but an output a thousand times full scale
// (+60 dB) only comes from a runaway filter or garbage.
constexpr float kOutputBound = 1000.0f;

// Stereo material in segments of 50..500 ms: silence (often, so that decaying
// tails show up), noise, sines, square waves, clicks and full-scale DC.
class TestSignal {
  public:
    TestSignal(std::uint64_t seed, double sampleRate);
    void fill(float* left, float* right, int frames);
    // Long stretches of silence, in which decaying state sinks towards subnormals.
    void holdSilent(bool silent) { silent_ = silent; }

  private:
    enum class Kind { kSilence, kNoise, kSine, kSquare, kClicks, kDc };
    void startSegment();
    float next();

    std::mt19937_64 random_;
    double sampleRate_;
    Kind kind_ = Kind::kSilence;
    int remaining_ = 0;
    double phase_ = 0.0;
    double increment_ = 0.0;
    float amplitude_ = 0.0f;
    bool silent_ = false;
};

// The musical time the host reports, advanced block by block.
struct Timeline {
    double sampleRate = kDefaultSampleRate;
    double tempo = 120.0;
    double ppq = 0.0;
    double samplePos = 0.0;
    bool playing = true;
    bool looping = false;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;

    VstTimeInfo info() const;
    // Moves on by `frames` while playing; a loop jumps back at its end.
    void advance(int frames);
};

// One buffer per channel with guard samples before and after, so that writes
// outside the block are caught.
class GuardedChannels {
  public:
    GuardedChannels(int count, int maxFrames);
    float** pointers() { return pointers_.data(); }
    int count() const { return static_cast<int>(channels_.size()); }
    float* channel(int index) { return channels_[static_cast<std::size_t>(index)].data() + kGuard; }
    const float* channel(int index) const {
        return channels_[static_cast<std::size_t>(index)].data() + kGuard;
    }
    // Guards everything outside the first `frames` samples of each channel.
    void resetGuards(int frames);
    // The first guard sample that changed, as "before"/"after" text; empty when intact.
    std::string damagedGuard(int index, int frames) const;

  private:
    static constexpr int kGuard = 64;
    std::vector<std::vector<float>> channels_;
    std::vector<float*> pointers_;
};

// Drives one opened plug-in block by block and fails the check at the first
// bad output: non-finite, subnormal, beyond kOutputBound, or written outside
// the block.
class AudioRun {
  public:
    AudioRun(OpenPlugin& plugin, std::uint64_t signalSeed);

    Timeline timeline;

    // The accumulating entry instead of processReplacing, with the outputs
    // holding `prefill` before each call (it adds to them).
    void useAccumulatingEntry(float prefill);
    TestSignal& signal() { return signal_; }

    // One block of `frames` (0..the plug-in's largest block), timeline advanced.
    void process(int frames);
    // Blocks of `frames` until `seconds` of audio have passed.
    void processFor(double seconds, int frames);

    std::int64_t blocks() const { return blocks_; }
    float peak() const { return peak_; }

  private:
    void inspect(int frames);
    [[noreturn]] void failBlock(int frames, const std::string& what) const;

    OpenPlugin& plugin_;
    TestSignal signal_;
    GuardedChannels inputs_;
    GuardedChannels outputs_;
    bool accumulating_ = false;
    float prefill_ = 0.0f;
    std::int64_t blocks_ = 0;
    float peak_ = 0.0f;
};

// Why a sample is bad, or empty when it is fine.
std::string badSampleReason(float value);

}  // namespace tramvek
