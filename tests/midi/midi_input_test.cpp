#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "midi/event_block.h"
#include "params/chunk_bytes.h"
#include "params/editor_spy.h"
#include "support/engine_state_access.h"

namespace tramvek {
namespace {

using testing::EventBlock;

class MidiInput : public ::testing::Test {
  protected:
    // A first block starts the song, so the blocks the tests send change
    // nothing but what their notes do.
    void SetUp() override {
        EventBlock none;
        send(none);
    }

    // MIDI arrives before its block; notes take effect in the block.
    VstInt32 send(EventBlock& events) {
        const VstInt32 answer = effect->processEvents(events.get());
        float silence[2][kBlock] = {};
        float* io[2] = {silence[0], silence[1]};
        effect->processReplacing(io, io, kBlock);
        return answer;
    }
    static constexpr int kBlock = 512;
    // A slice started by a note of velocity 100 plays at this gain; the
    // sequencer's steps play at their Trigger lane's (0.8 or 0) or not at all.
    bool aNoteStarted() const { return stateOf(*effect).voiceGain == 100.0f / 127.0f; }

    std::unique_ptr<SlicerPlugin> effect = std::make_unique<SlicerPlugin>(nullptr);
};

// --- Controllers ---

TEST_F(MidiInput, LearningAControllerMovesItFromItsOldParameter) {
    testing::EditorWatch watch(*effect);
    effect->engine().toggleMidiLearn();
    effect->engine().setLearnTarget(2);
    EventBlock first;
    send(first.controller(20, 99));
    EXPECT_EQ(stateOf(*effect).paramControllers[2], 20);
    EXPECT_EQ(effect->getParameter(2), 1.0f);  // learning does not drive the parameter
    EXPECT_EQ(watch.postUpdates, 1);
    EXPECT_TRUE(watch.panelRedraw.load());

    effect->engine().setLearnTarget(5);
    EventBlock second;
    send(second.controller(20, 10));
    EXPECT_EQ(stateOf(*effect).paramControllers[2], 0);
    EXPECT_EQ(stateOf(*effect).paramControllers[5], 20);
}

TEST_F(MidiInput, ALearnedControllerDrivesItsParameterScaledTo127) {
    stateOf(*effect).paramControllers[3] = 74;
    testing::EditorWatch watch(*effect);
    EventBlock full;
    send(full.controller(74, 127));
    EXPECT_FLOAT_EQ(effect->getParameter(3), 1.0f);
    EXPECT_FLOAT_EQ(stateOf(*effect).resonance, 1.0f);
    EventBlock half;
    send(half.midi(0xB7, 74, 64));  // any channel
    EXPECT_FLOAT_EQ(effect->getParameter(3), 64.0f / 127.0f);
    EXPECT_EQ(stateOf(*effect).programs[0].params[3], effect->getParameter(3));
    EXPECT_EQ(watch.postUpdates, 2);
    EXPECT_TRUE(watch.panelRedraw.load());
}

TEST_F(MidiInput, LearnTargetsOutOfRangeLearnNothing) {
    stateOf(*effect).paramControllers[1] = 30;
    effect->engine().toggleMidiLearn();
    for (std::int32_t target : {-1, 8, 1000}) {
        stateOf(*effect).paramLearnTarget = target;
        EventBlock events;
        send(events.controller(30, 1));
        EXPECT_EQ(stateOf(*effect).paramControllers[1], 30) << target;
    }
    stateOf(*effect).patternNoteLearn = true;
    stateOf(*effect).patternNotes[0] = 60;
    stateOf(*effect).patternLearnTarget = 8;
    EventBlock note;
    send(note.noteOn(60, 100));
    EXPECT_EQ(stateOf(*effect).patternNotes[0], 60);

    stateOf(*effect).patternNoteLearn = false;
    stateOf(*effect).sliceNoteLearn = true;
    stateOf(*effect).sliceLearnTarget = 32;
    EventBlock slice;
    send(slice.noteOn(48, 100));
    EXPECT_EQ(stateOf(*effect).sliceNotes[0], 48);
}

// --- Pattern notes ---

TEST_F(MidiInput, LearningAPatternNoteMovesItAndSelectsNothing) {
    effect->engine().togglePatternNoteLearn();
    effect->engine().setPatternLearnTarget(3);
    EventBlock first;
    send(first.noteOn(60, 100));
    effect->engine().setPatternLearnTarget(4);
    EventBlock second;
    send(second.noteOn(60, 100));
    EXPECT_EQ(stateOf(*effect).patternNotes[3], 0);
    EXPECT_EQ(stateOf(*effect).patternNotes[4], 60);
    EXPECT_EQ(stateOf(*effect).currentPattern, 0);
}

TEST_F(MidiInput, ALearnedNoteSelectsItsPatternOnAnyChannel) {
    stateOf(*effect).patternNotes[5] = 62;
    EventBlock events;
    send(events.midi(0x9A, 62, 1));
    EXPECT_EQ(stateOf(*effect).currentPattern, 5);
    EXPECT_EQ(stateOf(*effect).patternOffset, 160);
}

TEST_F(MidiInput, NoteZeroMatchesNoUnassignedEntryAndIsNeverLearned) {
    effect->engine().toggleSliceTriggering();
    stateOf(*effect).sliceNotes[4] = 0;
    EventBlock events;
    send(events.noteOn(0, 100));
    EXPECT_EQ(stateOf(*effect).currentPattern, 0);
    EXPECT_FALSE(aNoteStarted());
    effect->engine().togglePatternNoteLearn();
    EventBlock learn;
    send(learn.noteOn(0, 100));
    EXPECT_EQ(stateOf(*effect).patternNotes[0], 0);
    effect->engine().toggleNoteSliceLearn();
    effect->engine().setSliceLearnTarget(7);
    EventBlock learnSlice;
    send(learnSlice.noteOn(0, 100));
    EXPECT_EQ(stateOf(*effect).sliceNotes[7], 48 + 7);
}

TEST_F(MidiInput, DataBytesAreMaskedToSevenBits) {
    stateOf(*effect).patternNotes[2] = 50;
    EventBlock events;
    send(events.midi(0x90, 0x80 | 50, 0x80 | 5));
    EXPECT_EQ(stateOf(*effect).currentPattern, 2);
}

// --- Note-to-slice ---

TEST_F(MidiInput, DefaultNotesStartTheirSlicesAtTheirOffsetWithVelocityGain) {
    effect->engine().toggleSliceTriggering();
    effect->engine().selectPattern(1);
    EventBlock loud;
    send(loud.noteOn(48 + 5, 127, 17));
    EXPECT_EQ(stateOf(*effect).scheduledSlot, 32 + 5);
    EXPECT_EQ(stateOf(*effect).scheduledGain, 1.0f);
    EXPECT_FALSE(stateOf(*effect).stepSilenced);

    EventBlock medium;
    send(medium.noteOn(79, 64, 3));
    EXPECT_EQ(stateOf(*effect).scheduledSlot, 32 + 31);
    EXPECT_NEAR(stateOf(*effect).scheduledGain, 0.504f, 0.0005f);
    EXPECT_EQ(stateOf(*effect).scheduledGain, 64.0f / 127.0f);
}

TEST_F(MidiInput, SlicesStartOnlyInNoteToSliceModeAndOnlyForTheirNotes) {
    EventBlock modeOff;
    send(modeOff.noteOn(50, 100));
    EXPECT_FALSE(aNoteStarted());

    effect->engine().toggleSliceTriggering();
    EventBlock unassigned;
    send(unassigned.noteOn(47, 100).noteOn(80, 100));
    EXPECT_FALSE(aNoteStarted());
}

TEST_F(MidiInput, NotesWaitForTheirSampleInOrderBeforeOrAfterTheBlock) {
    effect->engine().toggleSliceTriggering();
    EventBlock events;
    effect->processEvents(events.noteOn(50, 100, 900).noteOn(51, 100, -40).noteOn(52, 100, 3).get());
    ASSERT_EQ(stateOf(*effect).timedNoteCount, 3);
    EXPECT_EQ(stateOf(*effect).timedNotes[0].at, 0);  // a note before the block starts at its first sample
    EXPECT_EQ(stateOf(*effect).timedNotes[1].at, 3);
    EXPECT_EQ(stateOf(*effect).timedNotes[2].at, 900);
    EventBlock none;
    send(none);
    ASSERT_EQ(stateOf(*effect).timedNoteCount, 1);  // the last one falls in the next block
    EXPECT_EQ(stateOf(*effect).timedNotes[0].at, 900 - kBlock);
    EXPECT_EQ(stateOf(*effect).scheduledSlot, 4);
}

TEST_F(MidiInput, LearningASliceNoteMovesItAndStartsNoSlice) {
    effect->engine().toggleSliceTriggering();
    effect->engine().toggleNoteSliceLearn();
    effect->engine().setSliceLearnTarget(5);
    stateOf(*effect).patternNotes[2] = 48;
    EventBlock events;
    send(events.noteOn(48, 100));
    EXPECT_EQ(stateOf(*effect).sliceNotes[0], 0);
    EXPECT_EQ(stateOf(*effect).sliceNotes[5], 48);
    EXPECT_EQ(stateOf(*effect).currentPattern, 2);  // the note still selects its pattern
    EXPECT_FALSE(aNoteStarted());
}

// --- Messages that change nothing ---

struct MidiState {
    explicit MidiState(SlicerPlugin& effect)
        : bank(testing::saveChunk(effect)),
          currentPattern(stateOf(effect).currentPattern),
          voiceGain(stateOf(effect).voiceGain),
          scheduledSlot(stateOf(effect).scheduledSlot) {
        std::memcpy(paramValues, stateOf(effect).paramValues, sizeof paramValues);
    }
    bool operator==(const MidiState& other) const {
        return bank == other.bank && currentPattern == other.currentPattern && voiceGain == other.voiceGain &&
               scheduledSlot == other.scheduledSlot &&
               std::memcmp(paramValues, other.paramValues, sizeof paramValues) == 0;
    }
    testing::Bytes bank;
    std::int32_t currentPattern;
    float voiceGain;
    std::int32_t scheduledSlot;
    float paramValues[8];
};

class IgnoredMessages : public MidiInput, public ::testing::WithParamInterface<bool> {};

TEST_P(IgnoredMessages, ChangeNothingWhetherLearningOrPlaying) {
    effect->engine().toggleSliceTriggering();
    if (GetParam()) {
        effect->engine().toggleMidiLearn();
        effect->engine().toggleNoteSliceLearn();
    }
    // Parameters 0..3 listen to controller 0 and pattern 3 to note 48, and the
    // learn targets point at entries a learned message would visibly change.
    stateOf(*effect).patternNotes[3] = 48;
    stateOf(*effect).paramControllers[4] = 9;
    effect->engine().setLearnTarget(4);
    effect->engine().setSliceLearnTarget(6);
    const MidiState before(*effect);
    EventBlock events;
    events
        .midi(0x80, 48, 100)                     // note off
        .midi(0x90, 48, 0)                       // note on with velocity 0
        .midi(0xE0, 48, 64)                      // pitch bend
        .midi(0xA0, 48, 64)                      // poly aftertouch
        .midi(0xD0, 48, 64)                      // channel aftertouch
        .midi(0xC0, 48, 0)                       // program change
        .midi(0xB0, 0, 127)                      // controller 0
        .midi(0xF0, 48, 127)                     // system message
        .midi(0x90, 48, 100, 0, kVstSysExType);  // not a MIDI event
    EXPECT_EQ(send(events), 1);
    EXPECT_TRUE(MidiState(*effect) == before);
}

INSTANTIATE_TEST_SUITE_P(LearnModes, IgnoredMessages, ::testing::Bool());

TEST_F(MidiInput, EmptyOrDamagedEventBlocksAreHarmless) {
    EXPECT_EQ(effect->processEvents(nullptr), 1);
    EventBlock none;
    EXPECT_EQ(send(none), 1);
    VstEvents negative{};
    negative.numEvents = -3;
    EXPECT_EQ(effect->processEvents(&negative), 1);
    VstEvents holes{};
    holes.numEvents = 2;
    EXPECT_EQ(effect->processEvents(&holes), 1);  // null event pointers
}

}  // namespace
}  // namespace tramvek
