#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "params/editor_spy.h"
#include "support/engine_state_access.h"

namespace tramvek {
namespace {

class Programs : public ::testing::Test {
  protected:
    std::string programName() {
        char text[64];
        std::memset(text, '#', sizeof text);
        effect->getProgramName(text);
        return text;
    }

    std::unique_ptr<SlicerPlugin> effect = std::make_unique<SlicerPlugin>(nullptr);
};

TEST_F(Programs, FreshProgramsAreNumberedInitOneToSixteen) {
    for (int program = 0; program < 16; ++program) {
        effect->setProgram(program);
        EXPECT_EQ(programName(), "Init " + std::to_string(program + 1));
    }
}

TEST_F(Programs, OnlyTheExactDefaultNameGetsANumber) {
    effect->setProgram(4);
    char init[] = "Init";
    effect->setProgramName(init);
    EXPECT_EQ(programName(), "Init 5");

    effect->setProgram(0);
    char numbered[] = "Init 3";
    effect->setProgramName(numbered);
    EXPECT_EQ(programName(), "Init 3");

    char other[] = "Initial";
    effect->setProgramName(other);
    EXPECT_EQ(programName(), "Initial");
    effect->setProgram(1);
    EXPECT_EQ(programName(), "Init 2");  // names belong to their program
}

TEST_F(Programs, LongNamesAreCutWithoutTouchingTheNextProgram) {
    const auto* next = reinterpret_cast<const char*>(&stateOf(*effect).programs[1]);
    const std::string neighbour(next, sizeof(StoredProgram));
    std::string longName(200, 'x');
    effect->setProgramName(longName.data());
    EXPECT_EQ(programName(), std::string(23, 'x'));
    EXPECT_EQ(stateOf(*effect).programs[0].name[23], '\0');
    EXPECT_EQ(std::string(next, sizeof(StoredProgram)), neighbour);

    char shorter[] = "Bass";
    effect->setProgramName(shorter);
    EXPECT_EQ(programName(), "Bass");
}

TEST_F(Programs, SelectingAProgramAppliesItsValuesAndPatternLength) {
    effect->setProgram(3);
    effect->setParameter(0, 0.7f);
    effect->setParameter(2, 0.4f);
    EXPECT_EQ(stateOf(*effect).programs[3].params[0], 0.7f);
    EXPECT_EQ(stateOf(*effect).programs[0].params[0], 0.0f);

    effect->engine().setPatternLength(1.0f);  // the step sequencer's control does not touch the program
    ASSERT_EQ(stateOf(*effect).patternLength, 32);
    effect->setProgram(0);
    EXPECT_EQ(effect->getParameter(0), 0.0f);
    EXPECT_EQ(effect->getParameter(2), 1.0f);
    EXPECT_EQ(stateOf(*effect).cutoffSq, 1.0f);
    EXPECT_EQ(stateOf(*effect).patternLength, 16);
    EXPECT_EQ(stateOf(*effect).patternLengthValue, 0.5f);

    stateOf(*effect).programs[3].patternLength = 8;
    effect->setProgram(3);
    EXPECT_EQ(effect->getParameter(0), 0.7f);
    EXPECT_FLOAT_EQ(stateOf(*effect).cutoffSq, 0.16f);
    EXPECT_EQ(stateOf(*effect).patternLength, 8);
    EXPECT_EQ(stateOf(*effect).patternLengthValue, 0.25f);
}

TEST_F(Programs, FirstSelectionBringsTheEngineInLineWithTheParameters) {
    effect->setProgram(0);
    EXPECT_EQ(stateOf(*effect).attackSq, 0.0f);
    EXPECT_FLOAT_EQ(stateOf(*effect).lengthSq, 0.64f);
    EXPECT_EQ(stateOf(*effect).cutoffSq, 1.0f);
    EXPECT_EQ(stateOf(*effect).dryWet, 1.0f);
    EXPECT_EQ(stateOf(*effect).basePitch, 0);
}

TEST_F(Programs, SelectionMarksThePanelWithoutPostingAnUpdate) {
    testing::EditorWatch watch(*effect);
    effect->setProgram(2);
    EXPECT_TRUE(watch.panelRedraw.load());
    EXPECT_EQ(watch.postUpdates, 0);
}

TEST_F(Programs, ProgramNumbersOutsideTheSetAreIgnored) {
    effect->setProgram(5);
    effect->setProgram(16);
    effect->setProgram(-1);
    EXPECT_EQ(stateOf(*effect).currentProgram, 5);
}

TEST_F(Programs, ACorruptProgramIndexNeverReachesOutsideTheRecords) {
    stateOf(*effect).currentProgram = 99;  // another thread's write, or a bug elsewhere
    stateOf(*effect).requestedProgram = 99;
    effect->setParameter(0, 0.3f);
    EXPECT_EQ(stateOf(*effect).programs[15].params[0], 0.3f);
    char name[] = "Edge";
    effect->setProgramName(name);
    EXPECT_STREQ(stateOf(*effect).programs[15].name, "Edge");
}

}  // namespace
}  // namespace tramvek
