// Where a step starts depends on the song position only: however the host
// cuts the song into blocks, every boundary starts its step once, at its own
// sample, and the output is the same bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

struct Setting {
    double rate;
    double tempo;
    std::int32_t resolution;
    float shuffle;
    bool replacing;
};

constexpr float kDivisors[] = {16.0f, 8.0f, 6.0f, 4.0f, 3.0f, 2.0f, 1.5f};

// Frozen play buffers holding a ramp, every step triggered with the shortest
// hold: each start sounds at once after a silence.
void triggerEveryStepBriefly(SlicerPlugin& effect) {
    // The longest step below is under 10,400 samples: 32 of them are read.
    for (std::int32_t i = 0; i < 32 * 10400; ++i) {
        stateOf(effect).playBuffers.writable(0)[i] = 0.1f + 0.4f * static_cast<float>(i % 997) / 997.0f;
        stateOf(effect).playBuffers.writable(1)[i] = -stateOf(effect).playBuffers.writable(0)[i];
    }
    effect.engine().toggleFreeze();
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);
    }
    effect.engine().setParameter(1, 0.0f);
}

// Blocks of 1 to 8192 frames, small sizes as likely as large ones.
std::vector<int> randomBlocks(std::mt19937& random) {
    std::uniform_real_distribution<double> exponent(0.0, 13.0);
    std::vector<int> blocks(64);
    for (int& frames : blocks) {
        frames = std::clamp(static_cast<int>(std::exp2(exponent(random))), 1, 8192);
    }
    return blocks;
}

struct Render {
    Stereo out;
    std::int32_t stepSamples;
};

Render render(const Setting& s, std::size_t frames, const std::vector<int>& blocks) {
    EngineRig rig(s.rate, s.tempo);
    stateOf(*rig.effect).resolutionIndex = s.resolution;
    rig.effect->engine().setShuffle(s.shuffle);
    triggerEveryStepBriefly(*rig.effect);
    // The accumulating entry records its own (enveloped) input over the play
    // buffers: it needs an input to be heard.
    Stereo out = rig.run(Stereo(frames, s.replacing ? 0.0f : 0.3f), blocks, s.replacing);
    return {std::move(out), stateOf(*rig.effect).stepSamples};
}

// Boundary k starts in the sample k steps of the host's grid fall in, the
// odd ones late by the shuffle's share of half a (slice-length) step.
std::vector<std::int64_t> expectedStarts(const Setting& s, std::size_t frames, std::int32_t stepSamples) {
    const double perStep = s.rate * 60.0 / (s.tempo * kDivisors[s.resolution]);
    const auto delay = static_cast<std::int64_t>(static_cast<float>(stepSamples / 2) * s.shuffle);
    std::vector<std::int64_t> starts;
    for (std::int64_t k = 0;; ++k) {
        const auto boundary = static_cast<std::int64_t>(std::floor(static_cast<double>(k) * perStep));
        if (boundary >= static_cast<std::int64_t>(frames)) {
            return starts;
        }
        const std::int64_t start = boundary + (k % 2 != 0 ? delay : 0);
        if (start < static_cast<std::int64_t>(frames)) {
            starts.push_back(start);
        }
    }
}

TEST(BlockPartition, AnyBlockSequenceStartsEveryBoundaryOnceAndRendersTheSame) {
    std::mt19937 random(20261208);
    int index = 0;
    for (const double rate : {44100.0, 48000.0}) {
        for (const double tempo : {120.0, 127.5, 93.3}) {
            for (const auto& [resolution, shuffle] :
                 {std::pair{0, 0.6f}, std::pair{2, 0.0f}, std::pair{4, 0.6f}}) {
                const Setting s{rate, tempo, resolution, shuffle, index++ % 4 != 0};
                const double perStep = rate * 60.0 / (tempo * kDivisors[resolution]);
                const auto frames = static_cast<std::size_t>(24.5 * perStep);
                const Render reference = render(s, frames, {512});
                const std::vector<int> blocks = randomBlocks(random);
                const Render other = render(s, frames, blocks);
                SCOPED_TRACE(::testing::Message()
                             << rate << " Hz, " << tempo << " BPM, resolution " << resolution << ", shuffle "
                             << shuffle << (s.replacing ? ", replacing" : ", accumulating")
                             << ", first blocks " << blocks[0] << " " << blocks[1] << " " << blocks[2]);
                if (s.replacing) {
                    EXPECT_EQ(onsets(reference.out.left, 1e-3f, 150),
                              expectedStarts(s, frames, reference.stepSamples));
                }
                EXPECT_TRUE(other.out.left == reference.out.left && other.out.right == reference.out.right);
            }
        }
    }
}

}  // namespace
}  // namespace tramvek::test
