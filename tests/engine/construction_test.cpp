// A fresh engine's state, and the small operations the editor calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine_rig.h"
#include "host/plugin_identity.h"

namespace tramvek::test {
namespace {

template <typename Sample>
bool allZero(const Sample* samples) {
    return std::all_of(samples, samples + SlicerEngine::kBufferCapacity,
                       [](const Sample& v) { return v == 0.0f; });
}

TEST(Construction, ConfiguresTheBaseAndAllocatesEveryBuffer) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    EXPECT_TRUE(e.ready());
    EXPECT_EQ(e.effect.numPrograms, 16);
    EXPECT_EQ(e.effect.numParams, 8);
    EXPECT_EQ(e.effect.numInputs, 2);
    EXPECT_EQ(e.effect.numOutputs, 2);
    EXPECT_EQ(e.effect.flags, effFlagsHasVu | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(e.effect.uniqueID, 0x51585456);
    EXPECT_TRUE(allZero(stateOf(e).playBuffers.writable(0)));
    EXPECT_TRUE(allZero(stateOf(e).playBuffers.writable(1)));
    EXPECT_TRUE(allZero(stateOf(e).playBuffers.recording(0)));
    EXPECT_TRUE(allZero(stateOf(e).playBuffers.recording(1)));
}

TEST(Construction, FieldsStartAtTheirValues) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    for (std::int32_t i = 0; i < 32; ++i) {
        EXPECT_EQ(stateOf(e).sliceNotes[i], 48 + i);
    }
    for (std::int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(stateOf(e).patternNotes[i], 0);
        EXPECT_EQ(stateOf(e).paramControllers[i], 0);
    }
    EXPECT_EQ(stateOf(e).stepSamples, 100);
    EXPECT_EQ(stateOf(e).recordCycleSamples, 44100);
    EXPECT_EQ(stateOf(e).resolutionIndex, 3);
    EXPECT_EQ(stateOf(e).patternLength, 16);
    EXPECT_EQ(stateOf(e).patternLengthValue, 0.5f);
    EXPECT_EQ(stateOf(e).readIncrement, 1.0f);
    EXPECT_EQ(stateOf(e).releaseStep, 0.022f);
    EXPECT_EQ(stateOf(e).attackStep, 0.022f);
    EXPECT_FALSE(stateOf(e).recordArmed || stateOf(e).freeze);
    EXPECT_EQ(stateOf(e).delayedStepCount + stateOf(e).timedNoteCount, 0);
    const float params[] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};
    EXPECT_TRUE(std::equal(std::begin(params), std::end(params), stateOf(e).paramValues));
    for (const StoredProgram& program : stateOf(e).programs) {
        EXPECT_TRUE(std::equal(std::begin(params), std::end(params), program.params));
        EXPECT_EQ(program.patternLength, 16);
        EXPECT_STREQ(program.name, "Init");
    }
}

// The engine values agree with the displayed parameters from the start, also
// for hosts that play before selecting a program or setting a parameter.
TEST(Construction, EngineValuesFollowTheDefaultParameters) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    EXPECT_EQ(stateOf(e).attackSq, 0.0f);
    EXPECT_EQ(stateOf(e).lengthSq, 0.8f * 0.8f);
    EXPECT_EQ(stateOf(e).cutoffSq, 1.0f);
    EXPECT_EQ(stateOf(e).resonance, 0.0f);
    EXPECT_EQ(stateOf(e).shape, 0.0f);
    EXPECT_EQ(stateOf(e).dryWet, 1.0f);
    EXPECT_EQ(stateOf(e).basePitch, 0);
    EXPECT_EQ(stateOf(e).keepBuffer, 0.0f);
}

TEST(Construction, PatternStoreHoldsTheDefaultPatternInEveryBankAndSlot) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    for (std::int32_t bank = 0; bank < 4; ++bank) {
        for (std::int32_t slot = 0; slot < 650; ++slot) {
            EXPECT_EQ(stateOf(e).steps[bank][SlicerEngine::kLaneTrigger][slot], slot % 2 == 0 ? 0.8f : 0.0f);
            EXPECT_EQ(stateOf(e).steps[bank][SlicerEngine::kLaneReadPos][slot],
                      static_cast<float>(slot % 32) / 32.0f);
            EXPECT_EQ(stateOf(e).steps[bank][SlicerEngine::kLaneReverse][slot], 0.0f);
            for (const auto lane : {SlicerEngine::kLaneAttack, SlicerEngine::kLaneLength,
                                    SlicerEngine::kLaneCutoff, SlicerEngine::kLanePitch}) {
                EXPECT_EQ(stateOf(e).steps[bank][lane][slot], 0.5f);
            }
        }
    }
}

TEST(EditorOperations, SetStepValueWritesTheCurrentBankAndPattern) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().selectBank(2);
    e.engine().selectPattern(3);
    e.engine().setStepValue(5, 0.3f, SlicerEngine::kLanePitch);
    EXPECT_EQ(stateOf(e).steps[2][SlicerEngine::kLanePitch][96 + 5], 0.3f);
    EXPECT_EQ(stateOf(e).steps[0][SlicerEngine::kLanePitch][96 + 5], 0.5f);
    e.engine().setStepValue(5, 0.05f, SlicerEngine::kLaneReverse);
    EXPECT_EQ(stateOf(e).steps[2][SlicerEngine::kLaneReverse][101], 1.0f);
    e.engine().setStepValue(5, 0.0f, SlicerEngine::kLaneReverse);
    EXPECT_EQ(stateOf(e).steps[2][SlicerEngine::kLaneReverse][101], 0.0f);
    e.engine().setStepValue(5, -0.5f, SlicerEngine::kLaneReverse);
    EXPECT_EQ(stateOf(e).steps[2][SlicerEngine::kLaneReverse][101], 0.0f);
    // Out of range: nothing is written anywhere.
    const std::string before(reinterpret_cast<const char*>(stateOf(e).steps), sizeof stateOf(e).steps);
    e.engine().setStepValue(32, 1.0f, SlicerEngine::kLanePitch);
    e.engine().setStepValue(-1, 1.0f, SlicerEngine::kLanePitch);
    e.engine().setStepValue(0, 1.0f, 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stateOf(e).steps), sizeof stateOf(e).steps), before);
}

TEST(EditorOperations, PatternLengthResolutionAndShuffleKeepTheirRanges) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().setPatternLength(0.0f);
    EXPECT_EQ(stateOf(e).patternLength, 2);
    EXPECT_EQ(stateOf(e).patternLengthValue, 0.07f);
    e.engine().setPatternLength(0.5f);
    EXPECT_EQ(stateOf(e).patternLength, 16);
    e.engine().setPatternLength(1.0f);
    EXPECT_EQ(stateOf(e).patternLength, 32);
    e.engine().setPatternLength(3.0f);  // never more steps than a pattern holds
    EXPECT_EQ(stateOf(e).patternLength, 32);
    e.engine().setPatternLength(std::nanf(""));
    EXPECT_EQ(stateOf(e).patternLength, 2);

    stateOf(e).resolutionIndex = 6;
    e.engine().nextResolution();
    EXPECT_EQ(stateOf(e).resolutionIndex, 0);
    e.engine().previousResolution();
    EXPECT_EQ(stateOf(e).resolutionIndex, 6);
    e.engine().previousResolution();
    EXPECT_EQ(stateOf(e).resolutionIndex, 5);

    e.engine().setShuffle(1.5f);
    EXPECT_EQ(stateOf(e).shuffle, 1.0f);
    e.engine().setShuffle(-0.2f);
    EXPECT_EQ(stateOf(e).shuffle, 0.0f);
    e.engine().setShuffle(0.25f);
    EXPECT_EQ(stateOf(e).shuffle, 0.25f);
    e.engine().setShuffle(std::nanf(""));
    EXPECT_EQ(stateOf(e).shuffle, 0.0f);
}

TEST(EditorOperations, PastePatternCopiesAllLanesAndExactly32SlotsAcrossBanks) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().selectBank(1);
    e.engine().selectPattern(2);
    for (std::int32_t lane = 0; lane < 7; ++lane) {
        for (std::int32_t step = 0; step < 32; ++step) {
            e.engine().setStepValue(step, 0.01f * static_cast<float>(lane * 32 + step) + 0.001f, lane);
        }
    }
    e.engine().setPatternLength(0.25f);  // 8 steps: paste still copies 32
    e.engine().copyPattern(2);
    e.engine().selectBank(3);
    e.engine().pastePattern(5);
    for (std::int32_t lane = 0; lane < 7; ++lane) {
        for (std::int32_t step = 0; step < 32; ++step) {
            EXPECT_EQ(stateOf(e).steps[3][lane][160 + step], stateOf(e).steps[1][lane][64 + step])
                << lane << " " << step;
        }
        EXPECT_EQ(stateOf(e).steps[3][lane][192],
                  stateOf(e).steps[0][lane][192]);  // the next pattern is untouched
        EXPECT_EQ(stateOf(e).steps[3][lane][159], stateOf(e).steps[0][lane][159]);
    }
    EXPECT_EQ(stateOf(e).steps[3][SlicerEngine::kLaneReverse][160], 1.0f);
}

TEST(EditorOperations, LearnModesExcludeEachOtherOnlyWhenSwitchedOn) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().togglePatternNoteLearn();
    EXPECT_TRUE(stateOf(e).patternNoteLearn);
    e.engine().toggleNoteSliceLearn();
    EXPECT_TRUE(stateOf(e).sliceNoteLearn);
    EXPECT_FALSE(stateOf(e).patternNoteLearn);
    e.engine().togglePatternNoteLearn();
    EXPECT_TRUE(stateOf(e).patternNoteLearn);
    EXPECT_FALSE(stateOf(e).sliceNoteLearn);
    e.engine().togglePatternNoteLearn();
    EXPECT_FALSE(stateOf(e).patternNoteLearn);
    EXPECT_FALSE(stateOf(e).sliceNoteLearn);
    e.engine().toggleNoteSliceLearn();
    e.engine().toggleNoteSliceLearn();
    EXPECT_FALSE(stateOf(e).sliceNoteLearn);
    EXPECT_FALSE(stateOf(e).patternNoteLearn);

    e.engine().toggleMidiLearn();
    e.engine().toggleSliceTriggering();
    e.engine().toggleFreeze();
    EXPECT_TRUE(stateOf(e).paramMidiLearn && stateOf(e).noteToSliceMode && stateOf(e).freeze);
    e.engine().setLearnTarget(5);
    e.engine().setPatternLearnTarget(7);
    e.engine().setSliceLearnTarget(31);
    e.engine().setLearnTarget(8);
    e.engine().setPatternLearnTarget(-1);
    e.engine().setSliceLearnTarget(32);
    EXPECT_EQ(stateOf(e).paramLearnTarget, 5);
    EXPECT_EQ(stateOf(e).patternLearnTarget, 7);
    EXPECT_EQ(stateOf(e).sliceLearnTarget, 31);
}

TEST(EditorOperations, PatternAndBankSelectionIgnoreIndicesOutsideTheStore) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().selectPattern(7);
    EXPECT_EQ(stateOf(e).patternOffset, 224);
    e.engine().selectPattern(8);
    e.engine().selectPattern(-1);
    EXPECT_EQ(stateOf(e).currentPattern, 7);
    EXPECT_EQ(stateOf(e).patternOffset, 224);
    e.engine().selectBank(3);
    e.engine().selectBank(4);
    EXPECT_EQ(stateOf(e).currentBank, 3);
}

TEST(HostRequests, SuspendDropsWaitingStartsAndTheAnswersStay) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    e.engine().toggleSliceTriggering();
    const MidiMessage note{10, 0x90, 50, 100};
    e.engine().receiveMidi(&note, 1);
    stateOf(e).delayedStepCount = 1;
    e.suspend();  // on the host's thread: the audio thread drops them with its next events
    EXPECT_EQ(stateOf(e).timedNoteCount, 1);
    e.processEvents(nullptr);
    EXPECT_EQ(stateOf(e).delayedStepCount + stateOf(e).timedNoteCount, 0);
    EXPECT_EQ(e.getVu(), 0.0f);
    char text[64] = {};
    EXPECT_TRUE(e.getVendorString(text));
    EXPECT_STREQ(text, kVendorText);
    EXPECT_TRUE(e.getProductString(text));
    EXPECT_STREQ(text, kProductText);
    EXPECT_EQ(e.canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(e.canDo("sendVstEvents"), -1);
}

}  // namespace
}  // namespace tramvek::test
