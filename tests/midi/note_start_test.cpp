// Note starts heard through the block loop: MIDI arrives before each block,
// and every note starts its slice at its own sample, whatever else starts in
// the same block.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_rig.h"
#include "midi/event_block.h"

namespace tramvek {
namespace {

using testing::EventBlock;

constexpr int kBlock = 512;
constexpr std::int64_t kStep = 6000;  // 120 BPM at 48 kHz, four steps per beat

// Slice j of the frozen play buffers holds the steady level levelOf(j).
float levelOf(std::int64_t slice) {
    return 0.1f + 0.02f * static_cast<float>(slice);
}

struct Note {
    std::int64_t frame;
    int number;
};

class NoteStart : public ::testing::Test {
  protected:
    void SetUp() override {
        SlicerPlugin& effect = *rig.effect;
        for (std::int32_t i = 0; i < SlicerEngine::kBufferCapacity; ++i) {
            stateOf(effect).playBuffers.writable(0)[i] = levelOf(i / kStep);
            stateOf(effect).playBuffers.writable(1)[i] = stateOf(effect).playBuffers.writable(0)[i];
        }
        stateOf(effect).freeze = true;
    }

    // Plays `blocks` blocks of silence, each note sent before the block that
    // holds its frame; answers the left output.
    std::vector<float> play(const std::vector<Note>& notes, int blocks) {
        std::vector<float> out;
        for (int b = 0; b < blocks; ++b) {
            EventBlock events;
            for (const Note& note : notes) {
                if (note.frame / kBlock == b) {
                    events.noteOn(note.number, 127, static_cast<VstInt32>(note.frame % kBlock));
                }
            }
            rig.effect->processEvents(events.get());
            const std::vector<float> block = rig.run(test::Stereo(kBlock), {kBlock}).left;
            out.insert(out.end(), block.begin(), block.end());
        }
        return out;
    }

    test::EngineRig rig{48000.0, 120.0};
};

TEST_F(NoteStart, EveryNoteStartsItsSliceAtItsOwnSample) {
    rig.effect->engine().toggleSliceTriggering();
    // Notes on the boundaries of steps 1 to 4 (a quantised clip), three notes
    // inside one block, and one on the first sample of a block.
    const std::vector<Note> notes = {{kStep, 48 + 9},
                                     {2 * kStep, 48 + 3},
                                     {3 * kStep, 48 + 12},
                                     {4 * kStep, 48 + 5},
                                     {4 * kStep + 700, 48 + 1},
                                     {4 * kStep + 790, 48 + 14},
                                     {4 * kStep + 1000, 48 + 7},
                                     {12 * kBlock, 48 + 10}};
    const std::vector<float> out = play(notes, 5 * kStep / kBlock);
    for (const Note& note : notes) {
        const auto at = static_cast<std::size_t>(note.frame);
        const float level = levelOf(note.number - 48);
        SCOPED_TRACE(note.frame);
        EXPECT_GT(std::fabs(out[at] - out[at - 1]), 1e-4f);  // starts on its sample...
        EXPECT_NEAR(out[at + 80], level, 2e-3f);             // ...plays its slice
        if (note.frame % kStep != 0 || note.frame == kStep) {
            continue;
        }
        EXPECT_NEAR(out[at - 1], out[at - 2], 1e-6f);  // the previous slice held until then
    }
}

TEST_F(NoteStart, PatternNotesTakeOverFromTheirOwnSample) {
    SlicerPlugin& effect = *rig.effect;
    stateOf(effect).patternNotes[0] = 41;
    stateOf(effect).patternNotes[1] = 40;  // pattern 1 stays silent
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);  // pattern 0 plays every step
    }
    effect.engine().setParameter(1, 0.0f);  // short hold: each step ends in silence
    for (std::int32_t k = 0; k < 32; ++k) {
        stateOf(effect).steps[0][SlicerEngine::kLaneTrigger][32 + k] = 0.0f;
    }
    // Pattern 1 from just after step 2's boundary, in the same block; pattern
    // 0 again exactly on step 4's boundary.
    const std::vector<float> out = play({{2 * kStep + 100, 40}, {4 * kStep, 41}}, 5 * kStep / kBlock);
    EXPECT_GT(std::fabs(out[2 * kStep + 80]), 0.05f);
    EXPECT_EQ(out[3 * kStep + 80], 0.0f);
    EXPECT_GT(std::fabs(out[4 * kStep + 80]), 0.05f);
}

}  // namespace
}  // namespace tramvek
