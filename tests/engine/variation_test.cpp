// Chance and Repeat: which steps play depends on the seed and the song
// position only, and a step of N hits restarts its slice N times, evenly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/step_variation.h"
#include "engine_rig.h"

namespace tramvek::test {
namespace {

constexpr float kDivisors[] = {16.0f, 8.0f, 6.0f, 4.0f, 3.0f, 2.0f, 1.5f};

void setEveryStep(SlicerPlugin& effect, SlicerEngine::Lane lane, float value) {
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, value, lane);
    }
}

// Frozen play buffers holding a ramp, so that every hit is heard.
void freezeRamp(SlicerPlugin& effect) {
    for (std::int32_t i = 0; i < 32 * 10400; ++i) {
        stateOf(effect).playBuffers.writable(0)[i] = 0.1f + 0.4f * static_cast<float>(i % 997) / 997.0f;
        stateOf(effect).playBuffers.writable(1)[i] = -stateOf(effect).playBuffers.writable(0)[i];
    }
    effect.engine().toggleFreeze();
    setEveryStep(effect, SlicerEngine::kLaneTrigger, 0.8f);
}

TEST(Variation, RendersWithChanceAndRepeatAreTheSameForAnyBlockSequence) {
    std::mt19937 random(20261209);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (const double rate : {44100.0, 48000.0}) {
        for (const double tempo : {120.0, 93.3}) {
            for (const auto& [resolution, shuffle] :
                 {std::pair{0, 0.6f}, std::pair{3, 0.0f}, std::pair{3, 0.4f}}) {
                const auto lanes = [&, chance = std::vector<float>(32), repeat = std::vector<float>(32),
                                    seed = static_cast<std::uint32_t>(random())]() mutable {
                    for (std::size_t k = 0; k < 32; ++k) {
                        chance[k] = unit(random);
                        repeat[k] = unit(random);
                    }
                    return std::tuple{chance, repeat, seed};
                }();
                std::vector<int> blocks(64);
                for (int& frames : blocks) {
                    frames = std::clamp(static_cast<int>(std::exp2(13.0f * unit(random))), 1, 8192);
                }
                const auto render = [&](const std::vector<int>& sizes) {
                    EngineRig rig(rate, tempo);
                    stateOf(*rig.effect).resolutionIndex = resolution;
                    rig.effect->engine().setShuffle(shuffle);
                    freezeRamp(*rig.effect);
                    for (std::int32_t k = 0; k < 32; ++k) {
                        rig.effect->engine().setStepValue(k, std::get<0>(lanes)[k],
                                                          SlicerEngine::kLaneChance);
                        rig.effect->engine().setStepValue(k, std::get<1>(lanes)[k],
                                                          SlicerEngine::kLaneRepeat);
                    }
                    rig.effect->engine().setVariationSeed(std::get<2>(lanes));
                    const double perStep = rate * 60.0 / (tempo * kDivisors[resolution]);
                    return rig.run(Stereo(static_cast<std::size_t>(40.5 * perStep)), sizes);
                };
                SCOPED_TRACE(::testing::Message() << rate << " Hz, " << tempo << " BPM, resolution "
                                                  << resolution << ", shuffle " << shuffle);
                const Stereo reference = render({512});
                const Stereo other = render(blocks);
                EXPECT_TRUE(other.left == reference.left && other.right == reference.right);
                EXPECT_NE(reference.left, Stereo(reference.size()).left);
            }
        }
    }
}

// Which of `steps` steps of 1/64 at 48 kHz play, read from the voice's gain
// after each step's block.
std::vector<bool> playedSteps(std::uint32_t seed, std::int32_t steps) {
    EngineRig rig(48000.0, 120.0);
    stateOf(*rig.effect).resolutionIndex = 0;  // 1,500 samples a step
    setEveryStep(*rig.effect, SlicerEngine::kLaneTrigger, 0.8f);
    setEveryStep(*rig.effect, SlicerEngine::kLaneChance, 0.5f);
    rig.effect->engine().setVariationSeed(seed);
    std::vector<bool> played;
    const Stereo block(1500);
    for (std::int32_t s = 0; s < steps; ++s) {
        rig.run(block, {1500});
        played.push_back(stateOf(*rig.effect).voiceGain == 0.8f);
    }
    return played;
}

TEST(Variation, HalfTheStepsPlayTheSameInEveryRenderAndANewSeedDrawsAnew) {
    constexpr std::int32_t kSteps = 2000;
    const std::vector<bool> first = playedSteps(0, kSteps);
    const auto share = [](const std::vector<bool>& played) {
        return static_cast<double>(std::count(played.begin(), played.end(), true)) / played.size();
    };
    EXPECT_GE(share(first), 0.45);
    EXPECT_LE(share(first), 0.55);
    EXPECT_EQ(playedSteps(0, kSteps), first);
    SlicerEngine engine;
    engine.newVariation();
    const std::vector<bool> other = playedSteps(stateOf(engine).variationSeed, kSteps);
    EXPECT_NE(other, first);
    EXPECT_GE(share(other), 0.45);
    EXPECT_LE(share(other), 0.55);
}

// The samples at which the voice restarts a slice, from one-sample blocks.
std::vector<std::int64_t> voiceStarts(EngineRig& rig, std::int64_t frames) {
    std::vector<std::int64_t> starts;
    const Stereo one(1);
    const EngineState& state = stateOf(*rig.effect);
    for (std::int64_t i = 0; i < frames; ++i) {
        rig.run(one, {1});
        if (state.readPosition == static_cast<float>(state.playingSliceStart) + state.readIncrement) {
            starts.push_back(i);
        }
    }
    return starts;
}

// Hit k of N falls round(k * step / N) after the step's (shuffled) start;
// the next step's start ends the hits of the one before.
TEST(Variation, RepeatRestartsTheSliceNTimesEvenlyAfterTheShuffledStart) {
    for (const std::int32_t resolution : {0, 3}) {
        for (const float shuffle : {0.0f, 0.6f}) {
            for (std::int32_t hits = 1; hits <= 8; ++hits) {
                EngineRig rig(44100.0, 120.0);
                stateOf(*rig.effect).resolutionIndex = resolution;
                rig.effect->engine().setShuffle(shuffle);
                setEveryStep(*rig.effect, SlicerEngine::kLaneTrigger, 0.8f);
                setEveryStep(*rig.effect, SlicerEngine::kLaneRepeat, repeatValue(hits));
                const double perStep = 44100.0 * 60.0 / (120.0 * kDivisors[resolution]);
                const auto frames = static_cast<std::int64_t>(4.0 * perStep);
                const std::vector<std::int64_t> found = voiceStarts(rig, frames);

                const std::int32_t stepSamples = stateOf(*rig.effect).stepSamples;
                const auto delay = static_cast<std::int64_t>(static_cast<float>(stepSamples / 2) * shuffle);
                const auto startOf = [&](std::int64_t s) {
                    return static_cast<std::int64_t>(std::floor(static_cast<double>(s) * perStep)) +
                           (s % 2 != 0 ? delay : 0);
                };
                std::vector<std::int64_t> expected;
                for (std::int64_t s = 0; startOf(s) < frames; ++s) {
                    for (std::int32_t k = 0; k < hits; ++k) {
                        const std::int64_t at = startOf(s) + std::llround(k * perStep / hits);
                        if (at < std::min(startOf(s + 1), frames)) {
                            expected.push_back(at);
                        }
                    }
                }
                EXPECT_EQ(found, expected)
                    << "resolution " << resolution << ", shuffle " << shuffle << ", " << hits << " hits";
            }
        }
    }
}

TEST(Variation, ChanceZeroGivesNoHitsAndANoteOneHit) {
    EngineRig rig(44100.0, 120.0);
    setEveryStep(*rig.effect, SlicerEngine::kLaneTrigger, 0.8f);
    setEveryStep(*rig.effect, SlicerEngine::kLaneRepeat, repeatValue(4));
    setEveryStep(*rig.effect, SlicerEngine::kLaneChance, 0.0f);
    // Step 0 starts silent, its voice at gain 0 as a muted step's, and nothing restarts it.
    const std::vector<std::int64_t> found = voiceStarts(rig, 5000);
    EXPECT_EQ(found, std::vector<std::int64_t>{0});
    EXPECT_EQ(stateOf(*rig.effect).voiceGain, 0.0f);

    rig.effect->engine().toggleSliceTriggering();
    const MidiMessage note{0, 0x90, 48, 100};  // slice 0
    rig.effect->engine().receiveMidi(&note, 1);
    EXPECT_EQ(voiceStarts(rig, 5000), std::vector<std::int64_t>{0});
}

}  // namespace
}  // namespace tramvek::test
