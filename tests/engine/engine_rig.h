// Drives a SlicerPlugin the way a host does: a scripted time line answers the
// time query, audio goes through in blocks of chosen sizes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "support/engine_state_access.h"

namespace tramvek::test {

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;

    explicit Stereo(std::size_t frames = 0, float value = 0.0f) : left(frames, value), right(frames, value) {}
    std::size_t size() const { return left.size(); }
};

// The host's transport. By default the position follows the frames played
// (playing); stopped keeps ppqPos at ppqStart. Positions are nudged by at
// most a few ulps so that the engine's clock lands on whole samples: a
// position one ulp low moves a start by one sample, a rounding of the clock
// itself that would otherwise hide what the block loop does.
struct ScriptedHost {
    double sampleRate = 48000.0;
    double tempo = 120.0;
    double ppqStart = 0.0;
    bool playing = true;
    bool answersTime = true;
    bool snapToSamples = true;
    // Above 0 positions are rounded to ticks of this many per quarter note, as
    // hosts that keep musical time in ticks report them.
    int ticksPerQuarter = 0;
    std::int64_t framesPlayed = 0;
    int timeQueries = 0;
    VstTimeInfo info{};

    double ppqAt(std::int64_t frames) const;
    VstTimeInfo* answerTimeQuery();
};

class EngineRig {
  public:
    explicit EngineRig(double sampleRate = 48000.0, double tempo = 120.0);
    ~EngineRig();

    // Runs the input through processReplacing (or process, which adds to the
    // output it is given: silence here), cycling through the block sizes.
    Stereo run(const Stereo& input, const std::vector<int>& blockSizes, bool replacing = true);

    ScriptedHost host;
    std::unique_ptr<SlicerPlugin> effect;
};

// Indices at which |signal| rises above threshold after at least quietGap
// samples at or below it.
std::vector<std::int64_t> onsets(const std::vector<float>& signal, float threshold = 1e-3f,
                                 std::int64_t quietGap = 200);

// Input whose level is constant over each step of stepSamples and tells the
// step apart: levelOf(absoluteStep).
Stereo stepwiseInput(std::size_t frames, std::int64_t stepSamples, float (*levelOf)(std::int64_t step));

}  // namespace tramvek::test
