// The accumulating entry: it adds to the host's output, overdubs the processed
// input into the play buffers (freeze or not), reads forward only and leaves
// carried-over starts alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

constexpr std::int64_t kStep = 6000;
constexpr std::int64_t kPattern = 16 * kStep;

// Runs process() over output buffers that already hold a value.
Stereo accumulate(EngineRig& rig, const Stereo& input, float existing, int block) {
    Stereo output(input.size(), existing);
    for (std::size_t done = 0; done < input.size(); done += static_cast<std::size_t>(block)) {
        const int frames =
            static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), input.size() - done));
        float* in[2] = {const_cast<float*>(input.left.data() + done),
                        const_cast<float*>(input.right.data() + done)};
        float* out[2] = {output.left.data() + done, output.right.data() + done};
        rig.effect->process(in, out, frames);
        rig.host.framesPlayed += frames;
    }
    return output;
}

TEST(Accumulating, AddsTheMixToWhatTheOutputHolds) {
    EngineRig rig;
    rig.effect->engine().setParameter(5, 0.0f);
    Stereo input(20000);
    for (std::size_t i = 0; i < input.size(); ++i) {
        input.left[i] = static_cast<float>(i % 17) * 0.0625f;
        input.right[i] = -input.left[i];
    }
    const Stereo out = accumulate(rig, input, 1.0f, 512);
    for (std::size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(out.left[i], 1.0f + input.left[i]) << i;
        ASSERT_EQ(out.right[i], 1.0f + input.right[i]) << i;
    }
}

TEST(Accumulating, OverdubsIntoThePlayBuffersEvenWhenFrozenAndNeverRecords) {
    EngineRig rig;
    rig.effect->engine().toggleFreeze();
    accumulate(rig, Stereo(static_cast<std::size_t>(kStep * 3), 0.5f), 0.0f, 512);
    const float* play = stateOf(*rig.effect).playBuffers.writable(0);
    EXPECT_TRUE(std::any_of(play + 2 * kStep, play + 3 * kStep, [](float v) { return v != 0.0f; }));
    const float* recorded = stateOf(*rig.effect).playBuffers.recording(0);
    EXPECT_TRUE(
        std::all_of(recorded, recorded + SlicerEngine::kBufferCapacity, [](float v) { return v == 0.0f; }));
}

TEST(Accumulating, ReversedStepsAreSilent) {
    const auto wetEnergy = [](bool reversed) {
        EngineRig rig;
        for (std::int32_t k = 0; k < 16; ++k) {
            rig.effect->engine().setStepValue(k, reversed ? 1.0f : 0.0f, SlicerEngine::kLaneReverse);
        }
        const Stereo out = accumulate(rig, Stereo(static_cast<std::size_t>(3 * kPattern), 0.5f), 0.0f, 512);
        double energy = 0.0;
        for (const float v : out.left) {
            energy += static_cast<double>(v) * v;
        }
        return energy;
    };
    EXPECT_GT(wetEnergy(false), 1.0);
    EXPECT_EQ(wetEnergy(true), 0.0);
}

}  // namespace
}  // namespace tramvek::test
