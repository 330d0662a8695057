// Hosts whose musical position does not land exactly where the previous block
// ended: positions rounded to ticks, tempos the clock counts in whole BPM.
// Every boundary must start its step once: none lost, none started twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

// Frozen play buffers holding the same rising ramp in every slice and every
// step triggered with a short hold: each step's output rises steadily from its
// onset, so a second start a few samples later shows as a different step.
void triggerEveryStepOverFrozenRamps(SlicerPlugin& effect, std::int64_t sliceSamples) {
    for (std::int64_t i = 0; i < SlicerEngine::kBufferCapacity; ++i) {
        const float value =
            0.1f + 0.5f * static_cast<float>(i % sliceSamples) / static_cast<float>(sliceSamples);
        stateOf(effect).playBuffers.writable(0)[i] = value;
        stateOf(effect).playBuffers.writable(1)[i] = value;
    }
    effect.engine().toggleFreeze();
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);
    }
    effect.engine().setParameter(1, 0.3f);
}

struct Expectation {
    std::int64_t steps;       // boundaries after the song's start, the last half a step before the end
    double boundarySamples;   // the host's step length
    std::int64_t allowedLag;  // how far an onset may sit from its boundary
};

Stereo silenceFor(const Expectation& e) {
    return Stereo(static_cast<std::size_t>((static_cast<double>(e.steps) + 0.5) * e.boundarySamples));
}

// One onset per boundary, the song's start included, near its boundary, each
// step's opening the same as the first step's.
void expectEveryStepStartedOnce(const Stereo& out, const Expectation& e) {
    const std::vector<std::int64_t> found = onsets(out.left);
    ASSERT_EQ(static_cast<std::int64_t>(found.size()), e.steps + 1);
    constexpr std::int64_t kOpening = 500;
    for (std::size_t k = 0; k < found.size(); ++k) {
        const double boundary = static_cast<double>(k) * e.boundarySamples;
        EXPECT_LE(std::fabs(static_cast<double>(found[k]) - boundary), static_cast<double>(e.allowedLag))
            << "step " << k;
        for (std::int64_t t = 0; t < kOpening; ++t) {
            const float first = out.left[static_cast<std::size_t>(found[0] + t)];
            const float here = out.left[static_cast<std::size_t>(found[k] + t)];
            if (std::fabs(here - first) > 1e-5f) {
                ADD_FAILURE() << "step " << k << " differs " << t << " samples after its onset";
                break;
            }
        }
    }
}

TEST(HostJitter, PositionsRoundedToTicksStartEveryStepOnce) {
    // 1/1920 quarter is 12.5 samples at 120 BPM and 48 kHz: block starts land
    // up to 6 samples either side of where the previous block ended.
    for (const int blockSize : {1024, 441, 4000}) {
        EngineRig rig;
        rig.host.ticksPerQuarter = 1920;
        triggerEveryStepOverFrozenRamps(*rig.effect, 6000);
        const Expectation expectation{64, 6000.0, 7};
        const Stereo out = rig.run(silenceFor(expectation), {blockSize});
        SCOPED_TRACE(blockSize);
        expectEveryStepStartedOnce(out, expectation);
    }
}

TEST(HostJitter, RatesTheClockCountsInWholeUnitsStartEveryStepOnce) {
    // The clock counts whole BPM and whole samples per millisecond. At 60.9 BPM
    // and 44.1 kHz its steps are 11000 samples, 1.3 % longer than the host's, so
    // its idea of a block's end runs ahead of the host's; at 44999 Hz they are
    // 5500, 2.2 % shorter, and it falls behind. Within a block the clock's
    // offsets stretch by the same share.
    struct Case {
        double rate;
        double tempo;
        std::int64_t clockStep;
        double share;
    };
    for (const Case c : {Case{44100.0, 60.9, 11000, 0.013}, Case{44999.0, 120.0, 5500, 0.022}}) {
        EngineRig rig(c.rate, c.tempo);
        triggerEveryStepOverFrozenRamps(*rig.effect, c.clockStep);
        const Expectation expectation{120, c.rate * 60.0 / c.tempo / 4.0,
                                      static_cast<std::int64_t>(4096 * c.share) + 3};
        const Stereo out = rig.run(silenceFor(expectation), {4096});
        SCOPED_TRACE(c.rate);
        expectEveryStepStartedOnce(out, expectation);
    }
}

TEST(HostJitter, PatternHandOverSurvivesRoundedPositions) {
    EngineRig rig;
    rig.host.ticksPerQuarter = 1920;
    const auto levelOf = [](std::int64_t step) { return 0.05f + 0.01f * static_cast<float>(step % 40); };
    const Stereo input = stepwiseInput(6 * 16 * 6000, 6000, levelOf);
    const Stereo out = rig.run(input, {1024});
    // The first pattern's recording starts with its second step: check from the third pattern.
    for (std::int64_t step = 32; step < 6 * 16; step += 2) {
        const auto mid = static_cast<std::size_t>(step * 6000 + 2000);
        EXPECT_NEAR(out.left[mid], 0.8f * levelOf(step - 16), 1e-4f) << "step " << step;
    }
}

TEST(HostJitter, StoppedTransportStillRestartsItsBoundaryInEveryBlock) {
    // A repeated position is not jitter: the step starts again in each block.
    EngineRig rig;
    rig.host.playing = false;
    rig.host.ppqStart = 0.1875;  // 1500 samples before a boundary
    triggerEveryStepOverFrozenRamps(*rig.effect, 6000);
    rig.effect->engine().setParameter(1, 0.0f);
    const Stereo out = rig.run(Stereo(10 * 2048), {2048});
    EXPECT_EQ(onsets(out.left).size(), 10u);
}

}  // namespace
}  // namespace tramvek::test
