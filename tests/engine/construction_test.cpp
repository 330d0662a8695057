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

bool allZero(const float* samples) {
    return std::all_of(samples, samples + SlicerEffect::kBufferCapacity, [](float v) { return v == 0.0f; });
}

TEST(Construction, ConfiguresTheBaseAndAllocatesEveryBuffer) {
    EngineRig rig;
    const SlicerEffect& e = *rig.effect;
    EXPECT_TRUE(e.allocationsSucceeded());
    EXPECT_EQ(e.effect.numPrograms, 16);
    EXPECT_EQ(e.effect.numParams, 8);
    EXPECT_EQ(e.effect.numInputs, 2);
    EXPECT_EQ(e.effect.numOutputs, 2);
    EXPECT_EQ(e.effect.flags, effFlagsHasVu | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(e.effect.uniqueID, 0x51585456);
    EXPECT_TRUE(allZero(e.playBufferL.get()));
    EXPECT_TRUE(allZero(e.playBufferR.get()));
    EXPECT_TRUE(allZero(e.recordBufferL.get()));
    EXPECT_TRUE(allZero(e.recordBufferR.get()));
}

TEST(Construction, FieldsStartAtTheirValues) {
    EngineRig rig;
    const SlicerEffect& e = *rig.effect;
    for (std::int32_t i = 0; i < 32; ++i) {
        EXPECT_EQ(e.sliceNotes[i], 48 + i);
    }
    for (std::int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(e.patternNotes[i], 0);
        EXPECT_EQ(e.paramControllers[i], 0);
    }
    EXPECT_EQ(e.stepSamples, 100);
    EXPECT_EQ(e.recordCycleSamples, 44100);
    EXPECT_EQ(e.resolutionIndex, 3);
    EXPECT_EQ(e.patternLength, 16);
    EXPECT_EQ(e.patternLengthValue, 0.5f);
    EXPECT_EQ(e.readIncrement, 1.0f);
    EXPECT_EQ(e.releaseStep, 0.022f);
    EXPECT_EQ(e.attackStep, 0.022f);
    EXPECT_FALSE(e.recordArmed || e.freeze);
    EXPECT_EQ(e.delayedStepCount + e.timedNoteCount, 0);
    const float divisors[] = {16.0f, 8.0f, 6.0f, 4.0f, 3.0f, 2.0f, 1.5f};
    EXPECT_TRUE(std::equal(std::begin(divisors), std::end(divisors), e.resolutionDivisors));
    const float params[] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};
    EXPECT_TRUE(std::equal(std::begin(params), std::end(params), e.paramValues));
    for (const ProgramRecord& program : e.programs) {
        EXPECT_TRUE(std::equal(std::begin(params), std::end(params), program.params));
        EXPECT_EQ(program.patternLength, 16);
        EXPECT_STREQ(program.name, "Init");
    }
}

// The engine values agree with the displayed parameters from the start, also
// for hosts that play before selecting a program or setting a parameter.
TEST(Construction, EngineValuesFollowTheDefaultParameters) {
    EngineRig rig;
    const SlicerEffect& e = *rig.effect;
    EXPECT_EQ(e.attackSq, 0.0f);
    EXPECT_EQ(e.lengthSq, 0.8f * 0.8f);
    EXPECT_EQ(e.cutoffSq, 1.0f);
    EXPECT_EQ(e.resonance, 0.0f);
    EXPECT_EQ(e.shape, 0.0f);
    EXPECT_EQ(e.dryWet, 1.0f);
    EXPECT_EQ(e.basePitch, 0);
    EXPECT_EQ(e.keepBuffer, 0.0f);
}

TEST(Construction, PatternStoreHoldsTheDefaultPatternInEveryBankAndSlot) {
    EngineRig rig;
    const SlicerEffect& e = *rig.effect;
    for (std::int32_t bank = 0; bank < 4; ++bank) {
        for (std::int32_t slot = 0; slot < 650; ++slot) {
            EXPECT_EQ(e.steps[bank][SlicerEffect::kLaneTrigger][slot], slot % 2 == 0 ? 0.8f : 0.0f);
            EXPECT_EQ(e.steps[bank][SlicerEffect::kLaneReadPos][slot], static_cast<float>(slot % 32) / 32.0f);
            EXPECT_EQ(e.steps[bank][SlicerEffect::kLaneReverse][slot], 0.0f);
            for (const auto lane : {SlicerEffect::kLaneAttack, SlicerEffect::kLaneLength,
                                    SlicerEffect::kLaneCutoff, SlicerEffect::kLanePitch}) {
                EXPECT_EQ(e.steps[bank][lane][slot], 0.5f);
            }
        }
    }
}

TEST(EditorOperations, SetStepValueWritesTheCurrentBankAndPattern) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.selectBank(2);
    e.selectPattern(3);
    e.setStepValue(5, 0.3f, SlicerEffect::kLanePitch);
    EXPECT_EQ(e.steps[2][SlicerEffect::kLanePitch][96 + 5], 0.3f);
    EXPECT_EQ(e.steps[0][SlicerEffect::kLanePitch][96 + 5], 0.5f);
    e.setStepValue(5, 0.05f, SlicerEffect::kLaneReverse);
    EXPECT_EQ(e.steps[2][SlicerEffect::kLaneReverse][101], 1.0f);
    e.setStepValue(5, 0.0f, SlicerEffect::kLaneReverse);
    EXPECT_EQ(e.steps[2][SlicerEffect::kLaneReverse][101], 0.0f);
    e.setStepValue(5, -0.5f, SlicerEffect::kLaneReverse);
    EXPECT_EQ(e.steps[2][SlicerEffect::kLaneReverse][101], 0.0f);
    // Out of range: nothing is written anywhere.
    const std::string before(reinterpret_cast<const char*>(e.steps), sizeof e.steps);
    e.setStepValue(32, 1.0f, SlicerEffect::kLanePitch);
    e.setStepValue(-1, 1.0f, SlicerEffect::kLanePitch);
    e.setStepValue(0, 1.0f, 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.steps), sizeof e.steps), before);
}

TEST(EditorOperations, PatternLengthResolutionAndShuffleKeepTheirRanges) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.setPatternLength(0.0f);
    EXPECT_EQ(e.patternLength, 2);
    EXPECT_EQ(e.patternLengthValue, 0.07f);
    e.setPatternLength(0.5f);
    EXPECT_EQ(e.patternLength, 16);
    e.setPatternLength(1.0f);
    EXPECT_EQ(e.patternLength, 32);
    e.setPatternLength(3.0f);  // never more steps than a pattern holds
    EXPECT_EQ(e.patternLength, 32);
    e.setPatternLength(std::nanf(""));
    EXPECT_EQ(e.patternLength, 2);

    e.resolutionIndex = 6;
    e.nextResolution();
    EXPECT_EQ(e.resolutionIndex, 0);
    e.previousResolution();
    EXPECT_EQ(e.resolutionIndex, 6);
    e.previousResolution();
    EXPECT_EQ(e.resolutionIndex, 5);

    e.setShuffle(1.5f);
    EXPECT_EQ(e.shuffle, 1.0f);
    e.setShuffle(-0.2f);
    EXPECT_EQ(e.shuffle, 0.0f);
    e.setShuffle(0.25f);
    EXPECT_EQ(e.shuffle, 0.25f);
    e.setShuffle(std::nanf(""));
    EXPECT_EQ(e.shuffle, 0.0f);
}

TEST(EditorOperations, PastePatternCopiesAllLanesAndExactly32SlotsAcrossBanks) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.selectBank(1);
    e.selectPattern(2);
    for (std::int32_t lane = 0; lane < 7; ++lane) {
        for (std::int32_t step = 0; step < 32; ++step) {
            e.setStepValue(step, 0.01f * static_cast<float>(lane * 32 + step) + 0.001f, lane);
        }
    }
    e.setPatternLength(0.25f);  // 8 steps: paste still copies 32
    e.copyPattern(2);
    e.selectBank(3);
    e.pastePattern(5);
    for (std::int32_t lane = 0; lane < 7; ++lane) {
        for (std::int32_t step = 0; step < 32; ++step) {
            EXPECT_EQ(e.steps[3][lane][160 + step], e.steps[1][lane][64 + step]) << lane << " " << step;
        }
        EXPECT_EQ(e.steps[3][lane][192], e.steps[0][lane][192]);  // the next pattern is untouched
        EXPECT_EQ(e.steps[3][lane][159], e.steps[0][lane][159]);
    }
    EXPECT_EQ(e.steps[3][SlicerEffect::kLaneReverse][160], 1.0f);
}

TEST(EditorOperations, LearnModesExcludeEachOtherOnlyWhenSwitchedOn) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.togglePatternNoteLearn();
    EXPECT_TRUE(e.patternNoteLearn);
    e.toggleNoteSliceLearn();
    EXPECT_TRUE(e.sliceNoteLearn);
    EXPECT_FALSE(e.patternNoteLearn);
    e.togglePatternNoteLearn();
    EXPECT_TRUE(e.patternNoteLearn);
    EXPECT_FALSE(e.sliceNoteLearn);
    e.togglePatternNoteLearn();
    EXPECT_FALSE(e.patternNoteLearn);
    EXPECT_FALSE(e.sliceNoteLearn);
    e.toggleNoteSliceLearn();
    e.toggleNoteSliceLearn();
    EXPECT_FALSE(e.sliceNoteLearn);
    EXPECT_FALSE(e.patternNoteLearn);

    e.toggleMidiLearn();
    e.toggleSliceTriggering();
    e.toggleFreeze();
    EXPECT_TRUE(e.paramMidiLearn && e.noteToSliceMode && e.freeze);
    e.setLearnTarget(5);
    e.setPatternLearnTarget(7);
    e.setSliceLearnTarget(31);
    e.setLearnTarget(8);
    e.setPatternLearnTarget(-1);
    e.setSliceLearnTarget(32);
    EXPECT_EQ(e.paramLearnTarget, 5);
    EXPECT_EQ(e.patternLearnTarget, 7);
    EXPECT_EQ(e.sliceLearnTarget, 31);
}

TEST(EditorOperations, PatternAndBankSelectionIgnoreIndicesOutsideTheStore) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.selectPattern(7);
    EXPECT_EQ(e.patternOffset, 224);
    e.selectPattern(8);
    e.selectPattern(-1);
    EXPECT_EQ(e.currentPattern, 7);
    EXPECT_EQ(e.patternOffset, 224);
    e.selectBank(3);
    e.selectBank(4);
    EXPECT_EQ(e.currentBank, 3);
}

TEST(HostRequests, SuspendDropsWaitingStartsAndVuReadsOnce) {
    EngineRig rig;
    SlicerEffect& e = *rig.effect;
    e.toggleSliceTriggering();
    e.handleNote(50, 100, 10);
    e.delayedStepCount = 1;
    e.suspend();  // on the host's thread: the audio thread drops them with its next events
    EXPECT_EQ(e.timedNoteCount, 1);
    e.processEvents(nullptr);
    EXPECT_EQ(e.delayedStepCount + e.timedNoteCount, 0);
    e.vuValue = 0.25f;
    EXPECT_EQ(e.getVu(), 0.25f);
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
