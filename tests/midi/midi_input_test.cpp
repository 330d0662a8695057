#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/slicer_effect.h"
#include "midi/event_block.h"
#include "params/chunk_bytes.h"
#include "params/editor_spy.h"

namespace tramvek {
namespace {

using testing::EventBlock;

class MidiInput : public ::testing::Test {
  protected:
    VstInt32 send(EventBlock& events) { return effect->processEvents(events.get()); }

    std::unique_ptr<SlicerEffect> effect = std::make_unique<SlicerEffect>(nullptr);
};

// --- Controllers ---

TEST_F(MidiInput, LearningAControllerMovesItFromItsOldParameter) {
    testing::EditorWatch watch(*effect);
    effect->toggleMidiLearn();
    effect->setLearnTarget(2);
    EventBlock first;
    send(first.controller(20, 99));
    EXPECT_EQ(effect->paramControllers[2], 20);
    EXPECT_EQ(effect->getParameter(2), 1.0f);  // learning does not drive the parameter
    EXPECT_EQ(watch.postUpdates, 1);
    EXPECT_TRUE(watch.panelRedraw.load());

    effect->setLearnTarget(5);
    EventBlock second;
    send(second.controller(20, 10));
    EXPECT_EQ(effect->paramControllers[2], 0);
    EXPECT_EQ(effect->paramControllers[5], 20);
}

TEST_F(MidiInput, ALearnedControllerDrivesItsParameterScaledTo127) {
    effect->paramControllers[3] = 74;
    testing::EditorWatch watch(*effect);
    EventBlock full;
    send(full.controller(74, 127));
    EXPECT_FLOAT_EQ(effect->getParameter(3), 1.0f);
    EXPECT_FLOAT_EQ(effect->resonance, 1.0f);
    EventBlock half;
    send(half.midi(0xB7, 74, 64));  // any channel
    EXPECT_FLOAT_EQ(effect->getParameter(3), 64.0f / 127.0f);
    EXPECT_EQ(effect->programs[0].params[3], effect->getParameter(3));
    EXPECT_EQ(watch.postUpdates, 2);
    EXPECT_TRUE(watch.panelRedraw.load());
}

TEST_F(MidiInput, LearnTargetsOutOfRangeLearnNothing) {
    effect->paramControllers[1] = 30;
    effect->toggleMidiLearn();
    for (std::int32_t target : {-1, 8, 1000}) {
        effect->paramLearnTarget = target;
        EventBlock events;
        send(events.controller(30, 1));
        EXPECT_EQ(effect->paramControllers[1], 30) << target;
    }
    effect->patternNoteLearn = true;
    effect->patternNotes[0] = 60;
    effect->patternLearnTarget = 8;
    EventBlock note;
    send(note.noteOn(60, 100));
    EXPECT_EQ(effect->patternNotes[0], 60);

    effect->patternNoteLearn = false;
    effect->sliceNoteLearn = true;
    effect->sliceLearnTarget = 32;
    EventBlock slice;
    send(slice.noteOn(48, 100));
    EXPECT_EQ(effect->sliceNotes[0], 48);
}

// --- Pattern notes ---

TEST_F(MidiInput, LearningAPatternNoteMovesItAndSelectsNothing) {
    effect->togglePatternNoteLearn();
    effect->setPatternLearnTarget(3);
    EventBlock first;
    send(first.noteOn(60, 100));
    effect->setPatternLearnTarget(4);
    EventBlock second;
    send(second.noteOn(60, 100));
    EXPECT_EQ(effect->patternNotes[3], 0);
    EXPECT_EQ(effect->patternNotes[4], 60);
    EXPECT_EQ(effect->currentPattern, 0);
}

TEST_F(MidiInput, ALearnedNoteSelectsItsPatternOnAnyChannel) {
    effect->patternNotes[5] = 62;
    EventBlock events;
    send(events.midi(0x9A, 62, 1));
    EXPECT_EQ(effect->currentPattern, 5);
    EXPECT_EQ(effect->patternOffset, 160);
}

TEST_F(MidiInput, NoteZeroMatchesEveryUnassignedEntry) {
    EventBlock events;
    send(events.noteOn(0, 100));
    EXPECT_EQ(effect->currentPattern, 7);
    EXPECT_FALSE(effect->triggerArmed);  // every slice has a note, so no slice matches 0
}

TEST_F(MidiInput, DataBytesAreMaskedToSevenBits) {
    effect->patternNotes[2] = 50;
    EventBlock events;
    send(events.midi(0x90, 0x80 | 50, 0x80 | 5));
    EXPECT_EQ(effect->currentPattern, 2);
}

// --- Note-to-slice ---

TEST_F(MidiInput, DefaultNotesStartTheirSlicesAtTheirOffsetWithVelocityGain) {
    effect->toggleSliceTriggering();
    effect->selectPattern(1);
    EventBlock loud;
    send(loud.noteOn(48 + 5, 127, 17));
    EXPECT_TRUE(effect->triggerArmed);
    EXPECT_EQ(effect->triggerCountdown, 17);
    EXPECT_EQ(effect->scheduledSlot, 32 + 5);
    EXPECT_EQ(effect->scheduledGain, 1.0f);
    EXPECT_FALSE(effect->stepSilenced);

    EventBlock medium;
    send(medium.noteOn(79, 64, 3));
    EXPECT_EQ(effect->scheduledSlot, 32 + 31);
    EXPECT_NEAR(effect->scheduledGain, 0.504f, 0.0005f);
    EXPECT_EQ(effect->scheduledGain, 64.0f / 127.0f);
}

TEST_F(MidiInput, SlicesStartOnlyInNoteToSliceModeAndOnlyForTheirNotes) {
    EventBlock modeOff;
    send(modeOff.noteOn(50, 100));
    EXPECT_FALSE(effect->triggerArmed);

    effect->toggleSliceTriggering();
    EventBlock unassigned;
    send(unassigned.noteOn(47, 100).noteOn(80, 100));
    EXPECT_FALSE(effect->triggerArmed);
}

TEST_F(MidiInput, SeveralNotesInOneBlockLeaveTheLastStartArmed) {
    effect->toggleSliceTriggering();
    EventBlock events;
    send(events.noteOn(50, 100, 10).noteOn(55, 20, 300));
    EXPECT_EQ(effect->triggerCountdown, 300);
    EXPECT_EQ(effect->scheduledSlot, 7);
    EXPECT_EQ(effect->scheduledGain, 20.0f / 127.0f);
}

TEST_F(MidiInput, ANoteBeforeTheBlockStartsAtItsFirstSample) {
    effect->toggleSliceTriggering();
    EventBlock events;
    send(events.noteOn(50, 100, -40));
    EXPECT_TRUE(effect->triggerArmed);
    EXPECT_EQ(effect->triggerCountdown, 0);
}

TEST_F(MidiInput, LearningASliceNoteMovesItAndStartsNoSlice) {
    effect->toggleSliceTriggering();
    effect->toggleNoteSliceLearn();
    effect->setSliceLearnTarget(5);
    effect->patternNotes[2] = 48;
    EventBlock events;
    send(events.noteOn(48, 100));
    EXPECT_EQ(effect->sliceNotes[0], 0);
    EXPECT_EQ(effect->sliceNotes[5], 48);
    EXPECT_EQ(effect->currentPattern, 2);  // the note still selects its pattern
    EXPECT_FALSE(effect->triggerArmed);
}

// --- Messages that change nothing ---

struct MidiState {
    explicit MidiState(SlicerEffect& effect)
        : bank(testing::saveChunk(effect)),
          currentPattern(effect.currentPattern),
          triggerArmed(effect.triggerArmed),
          scheduledSlot(effect.scheduledSlot) {
        std::memcpy(paramValues, effect.paramValues, sizeof paramValues);
    }
    bool operator==(const MidiState& other) const {
        return bank == other.bank && currentPattern == other.currentPattern &&
               triggerArmed == other.triggerArmed && scheduledSlot == other.scheduledSlot &&
               std::memcmp(paramValues, other.paramValues, sizeof paramValues) == 0;
    }
    testing::Bytes bank;
    std::int32_t currentPattern;
    bool triggerArmed;
    std::int32_t scheduledSlot;
    float paramValues[8];
};

class IgnoredMessages : public MidiInput, public ::testing::WithParamInterface<bool> {};

TEST_P(IgnoredMessages, ChangeNothingWhetherLearningOrPlaying) {
    effect->toggleSliceTriggering();
    if (GetParam()) {
        effect->toggleMidiLearn();
        effect->toggleNoteSliceLearn();
    }
    // Parameters 0..3 listen to controller 0 and pattern 3 to note 48, and the
    // learn targets point at entries a learned message would visibly change.
    effect->patternNotes[3] = 48;
    effect->paramControllers[4] = 9;
    effect->setLearnTarget(4);
    effect->setSliceLearnTarget(6);
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
