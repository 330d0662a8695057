// Note starts heard through the block loop: MIDI arrives before the block,
// the sequencer's scheduling runs inside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/engine_rig.h"
#include "midi/event_block.h"

namespace tramvek {
namespace {

using testing::EventBlock;

constexpr int kBlock = 512;
constexpr int kStepSamples = 6000;  // 120 BPM at 48 kHz, four steps per beat

class NoteStart : public ::testing::Test {
  protected:
    void SetUp() override {
        SlicerEffect& effect = *rig.effect;
        // Frozen, steady audio to play from, and notes instead of steps.
        std::fill_n(effect.playBufferL.get(), effect.bufferCapacity, 0.5f);
        std::fill_n(effect.playBufferR.get(), effect.bufferCapacity, 0.5f);
        effect.freeze = true;
        effect.toggleSliceTriggering();
    }

    // Processes one block of silence and answers its output (left channel).
    std::vector<float> block() { return rig.run(test::Stereo(kBlock), {kBlock}).left; }

    void skipBlocks(int count) {
        for (int i = 0; i < count; ++i) {
            block();
        }
    }

    static bool silentUntil(const std::vector<float>& out, int end) {
        return std::all_of(out.begin(), out.begin() + end, [](float s) { return s == 0.0f; });
    }
    static bool soundsWithin(const std::vector<float>& out, int begin, int end) {
        return std::any_of(out.begin() + begin, out.begin() + end,
                           [](float s) { return std::fabs(s) > 1e-4f; });
    }

    test::EngineRig rig{48000.0, 120.0};
};

TEST_F(NoteStart, ANoteSoundsFromItsOffsetInTheNextBlock) {
    skipBlocks(1);
    ASSERT_EQ(rig.effect->stepSamples, kStepSamples);
    EventBlock events;
    rig.effect->processEvents(events.noteOn(50, 127, 10).get());
    const std::vector<float> out = block();
    EXPECT_TRUE(silentUntil(out, 10));
    EXPECT_TRUE(soundsWithin(out, 10, kBlock));
}

TEST_F(NoteStart, OnlyTheLastOfSeveralNotesInABlockStarts) {
    skipBlocks(1);
    EventBlock events;
    rig.effect->processEvents(events.noteOn(50, 127, 10).noteOn(53, 127, 200).get());
    const std::vector<float> out = block();
    EXPECT_TRUE(silentUntil(out, 200));
    EXPECT_TRUE(soundsWithin(out, 200, kBlock));
}

TEST_F(NoteStart, ASequencerBoundaryInTheSameBlockReplacesTheNoteAndIsSilenced) {
    // The block of frames 5632..6143 holds the boundary of step 1 at 368.
    skipBlocks(kStepSamples / kBlock);
    EventBlock events;
    rig.effect->processEvents(events.noteOn(50, 127, 10).get());
    const std::vector<float> out = block();
    EXPECT_TRUE(rig.effect->stepSilenced);
    EXPECT_TRUE(silentUntil(out, kBlock));
    EXPECT_TRUE(silentUntil(block(), kBlock));
}

}  // namespace
}  // namespace tramvek
