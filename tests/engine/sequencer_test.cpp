// The step sequencer heard through processReplacing: what plays when, in
// which order, direction and speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

// 48 kHz at 120 BPM: the engine's clock matches the host's exactly; a 1/16
// step is 6000 samples and a 16-step pattern 96000.
constexpr std::int64_t kStep = 6000;
constexpr std::int64_t kPattern = 16 * kStep;

float levelOfStep(std::int64_t step) {
    return 0.05f + 0.01f * static_cast<float>(step % 40);
}

// Mid-hold of a step: the attack is instant, the hold lasts 3364 samples.
std::size_t midStep(std::int64_t absoluteStep) {
    return static_cast<std::size_t>(absoluteStep * kStep + 2000);
}

TEST(Sequencer, DefaultPatternsReplayThePreviousPatternOnePatternLateWithOddStepsSilent) {
    EngineRig rig;
    const Stereo input = stepwiseInput(4 * kPattern, kStep, levelOfStep);
    const Stereo out = rig.run(input, {512});
    for (std::int64_t step = 32; step < 64; ++step) {
        const std::size_t at = midStep(step);
        if (step % 2 == 0) {
            const float recorded = levelOfStep(step - 16);
            EXPECT_NEAR(out.left[at], 0.8f * recorded, 1e-4f) << "step " << step;
            EXPECT_NEAR(out.right[at], -0.8f * recorded, 1e-4f) << "step " << step;
        } else {
            EXPECT_EQ(out.left[at], 0.0f) << "step " << step;
            EXPECT_EQ(out.right[at], 0.0f) << "step " << step;
        }
    }
    // The first pattern plays nothing: the play buffers are still empty.
    for (std::int64_t step = 0; step < 16; ++step) {
        EXPECT_EQ(out.left[midStep(step)], 0.0f);
    }
}

TEST(Sequencer, ReadPosReordersSlicesAndWrapsBeyondThePattern) {
    EngineRig rig;
    for (std::int32_t k = 0; k < 16; ++k) {
        rig.effect->engine().setStepValue(k, static_cast<float>(15 - k) / 32.0f, SlicerEngine::kLaneReadPos);
    }
    rig.effect->engine().setStepValue(2, 20.0f / 32.0f,
                                      SlicerEngine::kLaneReadPos);  // slot 20 of 16 steps: step 4
    const Stereo out = rig.run(stepwiseInput(3 * kPattern, kStep, levelOfStep), {512});
    for (std::int64_t k = 0; k < 16; k += 2) {
        const std::int64_t source = k == 2 ? 4 : 15 - k;
        EXPECT_NEAR(out.left[midStep(32 + k)], 0.8f * levelOfStep(16 + source), 1e-4f) << "step " << k;
    }
}

// Input rising across each step: 0.1 at its first sample to 0.6 at its end.
Stereo rampInput(std::size_t frames) {
    Stereo input(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        input.left[i] = 0.1f + 0.5f * static_cast<float>(static_cast<std::int64_t>(i) % kStep) / kStep;
        input.right[i] = input.left[i];
    }
    return input;
}

TEST(Sequencer, ReverseReadsTheSliceBackwardFromItsEnd) {
    EngineRig rig;
    rig.effect->engine().setStepValue(4, 1.0f, SlicerEngine::kLaneReverse);
    const Stereo out = rig.run(rampInput(3 * kPattern), {512});
    const std::size_t reversedStart = static_cast<std::size_t>((32 + 4) * kStep);
    const std::size_t forwardStart = static_cast<std::size_t>((32 + 6) * kStep);
    for (std::int64_t t = 200; t <= 3000; t += 200) {
        const float backward = 0.8f * (0.1f + 0.5f * static_cast<float>(kStep - t) / kStep);
        const float forward = 0.8f * (0.1f + 0.5f * static_cast<float>(t) / kStep);
        EXPECT_NEAR(out.left[reversedStart + t], backward, 5e-4f) << "t " << t;
        EXPECT_NEAR(out.left[forwardStart + t], forward, 5e-4f) << "t " << t;
    }
    EXPECT_GT(out.left[reversedStart + 1000], out.left[reversedStart + 2000]);
}

// Runs to the start of step 34 (mid-pattern 2) and answers the read speed.
float speedAfterStart(float pitchParam, float pitchLane) {
    EngineRig rig;
    rig.effect->engine().setParameter(6, pitchParam);
    for (std::int32_t k = 0; k < 16; ++k) {
        rig.effect->engine().setStepValue(k, pitchLane, SlicerEngine::kLanePitch);
    }
    rig.run(Stereo(static_cast<std::size_t>(34 * kStep + 10)), {512});
    return stateOf(*rig.effect).readIncrement;
}

TEST(Sequencer, PitchAndBasePitchPickTheirRatio) {
    EngineRig reference;
    SlicerPlugin& ratios = *reference.effect;
    EXPECT_EQ(speedAfterStart(0.5f, 0.5f), 1.0f);
    // The lane truncates toward zero, the parameter floors: 0.49 is 0 and -1.
    EXPECT_EQ(speedAfterStart(0.5f, 0.49f), 1.0f);
    EXPECT_EQ(speedAfterStart(0.49f, 0.5f), stateOf(ratios).pitchRatios[23]);
    EXPECT_EQ(speedAfterStart(1.0f, 1.0f), 4.0f);
    EXPECT_EQ(speedAfterStart(0.0f, 0.0f), 0.25f);
    EXPECT_EQ(speedAfterStart(0.5f, 0.55f), stateOf(ratios).pitchRatios[25]);
}

TEST(Sequencer, FourTimesTheSpeedUsesTheSliceUpInAQuarterStep) {
    EngineRig rig;
    rig.effect->engine().setParameter(6, 1.0f);
    for (std::int32_t k = 0; k < 16; ++k) {
        rig.effect->engine().setStepValue(k, 1.0f, SlicerEngine::kLanePitch);
    }
    const Stereo out = rig.run(stepwiseInput(3 * kPattern, kStep, levelOfStep), {512});
    const std::size_t start = static_cast<std::size_t>(34 * kStep);
    EXPECT_NEAR(out.left[start + 1000], 0.8f * levelOfStep(18), 1e-4f);
    EXPECT_NEAR(out.left[start + 2000], 0.0f, 1e-6f);  // envelope still holds, read is past the slice
}

// Every step triggered, short hold, so each start stands out after silence.
void triggerEveryStepShortly(SlicerPlugin& effect) {
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);
    }
    effect.engine().setParameter(1, 0.3f);  // hold 559 samples
}

Stereo constantInput(std::size_t frames, float value) {
    return Stereo(frames, value);
}

TEST(Sequencer, ShuffleDelaysOddStepsByItsShareOfHalfAStepAcrossBlocks) {
    EngineRig rig;
    triggerEveryStepShortly(*rig.effect);
    rig.effect->engine().setShuffle(1.0f);
    const Stereo out = rig.run(constantInput(4 * kPattern, 0.5f), {512});
    std::vector<std::int64_t> expected;
    for (std::int64_t step = 32; step < 64; ++step) {
        expected.push_back(step * kStep + (step % 2 != 0 ? kStep / 2 : 0));
    }
    std::vector<std::int64_t> found;
    for (const std::int64_t at : onsets(out.left)) {
        if (at >= 32 * kStep) {
            found.push_back(at);
        }
    }
    EXPECT_EQ(found, expected);
}

// Play buffers filled with a constant and frozen, so every start is heard.
void preloadFrozenBuffers(SlicerPlugin& effect) {
    std::fill_n(stateOf(effect).playBuffers.writable(0), SlicerEngine::kBufferCapacity, 0.5f);
    std::fill_n(stateOf(effect).playBuffers.writable(1), SlicerEngine::kBufferCapacity, 0.5f);
    effect.engine().toggleFreeze();
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);
    }
    effect.engine().setParameter(1, 0.0f);  // shortest hold
}

TEST(Sequencer, StoppedTransportFindsTheSameBoundaryInEveryBlockLongEnoughToReachIt) {
    EngineRig rig;
    rig.host.playing = false;
    rig.host.ppqStart = 0.1875;  // sample 4500: the next boundary is 1500 samples ahead
    preloadFrozenBuffers(*rig.effect);
    const Stereo out = rig.run(constantInput(20 * 2048, 0.0f), {2048});
    std::vector<std::int64_t> expected;
    for (std::int64_t block = 0; block < 20; ++block) {
        expected.push_back(block * 2048 + 1500);
    }
    EXPECT_EQ(onsets(out.left), expected);

    EngineRig shortBlocks;
    shortBlocks.host.playing = false;
    shortBlocks.host.ppqStart = 0.1875;
    preloadFrozenBuffers(*shortBlocks.effect);
    const Stereo quiet = shortBlocks.run(constantInput(20 * 1024, 0.0f), {1024});
    EXPECT_TRUE(onsets(quiet.left).empty());
    EXPECT_FALSE(stateOf(*shortBlocks.effect).recordArmed);
}

TEST(Sequencer, ChangingTheResolutionMidSongKeepsEveryStepStarting) {
    EngineRig rig;
    preloadFrozenBuffers(*rig.effect);
    stateOf(*rig.effect).resolutionIndex = 0;  // 1/64: 1500 samples
    const std::vector<float> fine = rig.run(constantInput(8 * 1500 + 100, 0.0f), {1000}).left;
    stateOf(*rig.effect).resolutionIndex = 3;  // 1/16 from sample 12,100 on: the next boundary is 18,000
    const std::vector<float> coarse = rig.run(constantInput(2 * kStep, 0.0f), {1000}).left;
    stateOf(*rig.effect).resolutionIndex = 0;
    const std::vector<float> fineAgain = rig.run(constantInput(4 * 1500, 0.0f), {1000}).left;
    std::vector<float> all = fine;
    all.insert(all.end(), coarse.begin(), coarse.end());
    all.insert(all.end(), fineAgain.begin(), fineAgain.end());
    const std::vector<std::int64_t> expected = {0,     1500,  3000,  4500,  6000,  7500,  9000, 10500,
                                                12000, 18000, 24000, 25500, 27000, 28500, 30000};
    EXPECT_EQ(onsets(all, 1e-3f, 150), expected);
}

TEST(Sequencer, AStoppedTransportOnABoundaryStartsItOnlyWhenItPlays) {
    EngineRig rig;
    rig.host.playing = false;  // at the song's start, as hosts run plug-ins before playing
    preloadFrozenBuffers(*rig.effect);
    EXPECT_TRUE(onsets(rig.run(constantInput(20 * 1024, 0.0f), {1024}).left).empty());
    rig.host.playing = true;
    rig.host.framesPlayed = 0;
    const std::vector<std::int64_t> played = onsets(rig.run(constantInput(2 * kStep, 0.0f), {1024}).left);
    EXPECT_EQ(played, (std::vector<std::int64_t>{0, kStep}));
}

}  // namespace
}  // namespace tramvek::test
