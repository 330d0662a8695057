// Recording into the grid, the hand-over to the play buffers, freeze,
// keep-buffer and the dry/wet mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

constexpr std::int64_t kStep = 6000;
constexpr std::int64_t kPattern = 16 * kStep;

float levelOfPattern(std::int64_t step) {
    return 0.1f + 0.1f * static_cast<float>(step / 16);
}

TEST(Recording, FreezeKeepsBothBuffersAndStepsPlayTheFrozenAudio) {
    EngineRig rig;
    const Stereo input = stepwiseInput(5 * kPattern, kStep, levelOfPattern);
    // Patterns 0 and 1 as usual; freeze just before pattern 2 starts.
    Stereo first(static_cast<std::size_t>(2 * kPattern - 100));
    std::copy_n(input.left.begin(), first.size(), first.left.begin());
    std::copy_n(input.right.begin(), first.size(), first.right.begin());
    rig.run(first, {512});
    rig.effect->engine().toggleFreeze();
    const std::vector<float> recordedBefore(stateOf(*rig.effect).playBuffers.recording(0),
                                            stateOf(*rig.effect).playBuffers.recording(0) + kPattern);
    Stereo rest(input.size() - first.size());
    std::copy(input.left.begin() + static_cast<std::ptrdiff_t>(first.size()), input.left.end(),
              rest.left.begin());
    std::copy(input.right.begin() + static_cast<std::ptrdiff_t>(first.size()), input.right.end(),
              rest.right.begin());
    const Stereo out = rig.run(rest, {512});

    const std::vector<float> recordedAfter(stateOf(*rig.effect).playBuffers.recording(0),
                                           stateOf(*rig.effect).playBuffers.recording(0) + kPattern);
    EXPECT_EQ(recordedAfter, recordedBefore);
    // Patterns 2, 3 and 4 all replay pattern 0 (level 0.1), copied at the start of pattern 1.
    for (std::int64_t step = 34; step < 80; step += 2) {
        if (step % 16 == 0) {
            continue;  // slice 0 of pattern 0 was never recorded
        }
        const auto at = static_cast<std::size_t>(step * kStep + 2000) - first.size();
        EXPECT_NEAR(out.left[at], 0.8f * 0.1f, 1e-4f) << "step " << step;
    }
}

float recordedAfterFourPatterns(float keep) {
    EngineRig rig;
    rig.effect->engine().setParameter(7, keep);
    const Stereo out = rig.run(Stereo(static_cast<std::size_t>(4 * kPattern + 2000), 0.25f), {512});
    // Pattern 4 plays what the recording held at its start.
    EXPECT_NE(stateOf(*rig.effect).playBuffers.writable(0)[1000], 0.0f);
    EXPECT_NEAR(out.left[static_cast<std::size_t>(4 * kPattern + 1000)],
                0.8f * stateOf(*rig.effect).playBuffers.writable(0)[1000], 1e-4f);
    EXPECT_EQ(stateOf(*rig.effect).playBuffers.recording(1)[2 * kStep + 100],
              stateOf(*rig.effect).playBuffers.recording(0)[2 * kStep + 100]);
    return stateOf(*rig.effect).playBuffers.recording(0)[2 * kStep + 100];
}

TEST(Recording, KeepBufferScalesWhatEachPassOverdubs) {
    // Step 2 of each of the four patterns wrote the same grid position.
    EXPECT_EQ(recordedAfterFourPatterns(0.0f), 0.25f);
    EXPECT_EQ(recordedAfterFourPatterns(0.5f), 0.25f * (1.0f + 0.5f + 0.25f + 0.125f));
    EXPECT_EQ(recordedAfterFourPatterns(1.0f), 1.0f);
}

TEST(Recording, StepsRecordAtTheirGridPositionFromTheFirstStart) {
    EngineRig rig;
    const Stereo input = stepwiseInput(static_cast<std::size_t>(kPattern), kStep, [](std::int64_t step) {
        return 0.01f * static_cast<float>(step + 1);
    });
    rig.run(input, {300});
    const float* recorded = stateOf(*rig.effect).playBuffers.recording(0);
    for (std::int64_t step = 0; step < 16; ++step) {  // the song's start included
        EXPECT_EQ(recorded[step * kStep + 17], 0.01f * static_cast<float>(step + 1)) << step;
    }
    EXPECT_EQ(stateOf(*rig.effect).patternSamples, kPattern);
    EXPECT_EQ(stateOf(*rig.effect).recordCycleSamples, 32 * kStep);
}

TEST(Recording, FlushClearsThePlayBuffersUntilTheNextPatternStart) {
    EngineRig rig;
    rig.run(Stereo(static_cast<std::size_t>(2 * kPattern + 10), 0.5f), {512});
    ASSERT_NE(stateOf(*rig.effect).playBuffers.writable(0)[kStep + 5], 0.0f);
    rig.effect->engine().flushBuffer();
    rig.run(Stereo(1), {1});  // the audio thread clears them before its next block
    EXPECT_TRUE(std::all_of(stateOf(*rig.effect).playBuffers.writable(0),
                            stateOf(*rig.effect).playBuffers.writable(0) + SlicerEngine::kBufferCapacity,
                            [](float v) { return v == 0.0f; }));
    EXPECT_NE(stateOf(*rig.effect).playBuffers.recording(0)[kStep + 5], 0.0f);
    rig.run(Stereo(static_cast<std::size_t>(kPattern), 0.5f), {512});
    EXPECT_EQ(stateOf(*rig.effect).playBuffers.writable(0)[kStep + 5], 0.5f);
}

// A deterministic noise source for mixes that must pass exactly.
Stereo noise(std::size_t frames) {
    Stereo input(frames);
    std::uint32_t state = 12345u;
    for (std::size_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        input.left[i] = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
        state = state * 1664525u + 1013904223u;
        input.right[i] = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }
    return input;
}

TEST(Recording, DryWetZeroPassesTheInputBitForBit) {
    EngineRig rig;
    rig.effect->engine().setParameter(5, 0.0f);
    rig.effect->engine().setParameter(3, 0.9f);
    rig.effect->engine().setParameter(4, 0.7f);
    rig.effect->engine().setStepValue(1, 1.0f, SlicerEngine::kLaneReverse);
    rig.effect->engine().setShuffle(0.3f);
    const Stereo input = noise(static_cast<std::size_t>(3 * kPattern));
    const Stereo out = rig.run(input, {512, 77});
    EXPECT_EQ(out.left, input.left);
    EXPECT_EQ(out.right, input.right);
}

TEST(Recording, DryWetOneGivesOnlyTheVoice) {
    EngineRig rig;
    for (std::int32_t k = 0; k < 16; ++k) {
        rig.effect->engine().setStepValue(k, 0.0f, SlicerEngine::kLaneTrigger);
    }
    const Stereo out = rig.run(noise(static_cast<std::size_t>(3 * kPattern)), {512});
    EXPECT_TRUE(std::all_of(out.left.begin(), out.left.end(), [](float v) { return v == 0.0f; }));
}

}  // namespace
}  // namespace tramvek::test
