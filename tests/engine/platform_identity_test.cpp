// One sound on every platform: a render that touches every part of the voice
// (pitch, reverse, shuffle, filter with resonance, shaper, keep-buffer, both
// process entries) must give the same bits on Linux and on both Windows
// builds. The fingerprint below was taken from the Linux build; the Windows
// test runs compare against it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

// Triangle plus noise from integer arithmetic only, so the input itself is
// the same everywhere.
Stereo richInput(std::size_t frames) {
    Stereo input(frames);
    std::uint32_t state = 987654321u;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto phase = static_cast<float>(i % 200) / 100.0f;
        const float triangle = phase < 1.0f ? phase - 0.5f : 1.5f - phase;
        state = state * 1664525u + 1013904223u;
        const float noiseValue = static_cast<float>(state >> 9) / 4194304.0f - 1.0f;
        input.left[i] = 0.6f * triangle + 0.2f * noiseValue;
        input.right[i] = 0.5f * noiseValue - 0.3f * triangle;
    }
    return input;
}

std::uint64_t fingerprint(const Stereo& s) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < s.size(); ++i) {
        for (const float v : {s.left[i], s.right[i]}) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &v, sizeof bits);
            for (int b = 0; b < 4; ++b) {
                hash = (hash ^ ((bits >> (8 * b)) & 0xFFu)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

void configure(SlicerPlugin& e) {
    const float params[8] = {0.3f, 0.7f, 0.6f, 0.7f, 0.3f, 0.85f, 0.6f, 0.5f};
    for (std::int32_t i = 0; i < 8; ++i) {
        e.engine().setParameter(i, params[i]);
    }
    e.engine().setShuffle(0.4f);
    for (std::int32_t k = 0; k < 16; ++k) {
        const float x = static_cast<float>(k) / 16.0f;
        e.engine().setStepValue(k, 0.3f + 0.6f * x, SlicerEngine::kLaneTrigger);
        e.engine().setStepValue(k, x, SlicerEngine::kLaneAttack);
        e.engine().setStepValue(k, 1.0f - x, SlicerEngine::kLaneLength);
        e.engine().setStepValue(k, 0.2f + 0.5f * x, SlicerEngine::kLaneCutoff);
        e.engine().setStepValue(k, static_cast<float>((k * 7) % 16) / 32.0f, SlicerEngine::kLaneReadPos);
        e.engine().setStepValue(k, 0.1f + 0.05f * static_cast<float>(k), SlicerEngine::kLanePitch);
        e.engine().setStepValue(k, k % 3 == 0 ? 1.0f : 0.0f, SlicerEngine::kLaneReverse);
    }
}

TEST(PlatformIdentity, TheSameRenderGivesTheSameBitsOnEveryBuild) {
    const Stereo input = richInput(300000);
    EngineRig replacing(44100.0, 133.0);
    configure(*replacing.effect);
    const std::uint64_t replacingPrint = fingerprint(replacing.run(input, {512, 333}));

    EngineRig accumulating(44100.0, 133.0);
    configure(*accumulating.effect);
    const std::uint64_t accumulatingPrint = fingerprint(accumulating.run(input, {512}, false));

    // Taken again when steps moved onto the host's own grid (at 44.1 kHz the
    // clock's whole samples per millisecond had placed them early) and the
    // song's first step began to start.
    EXPECT_EQ(replacingPrint, 0xa6de9c732c603bc3ull);
    EXPECT_EQ(accumulatingPrint, 0xc3f72f425910386full);
}

}  // namespace
}  // namespace tramvek::test
