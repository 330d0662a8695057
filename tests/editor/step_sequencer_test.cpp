#include "editor/step_sequencer_control.h"

#include <algorithm>

#include "editor_test_support.h"

namespace tramvek::test {
namespace {

using Seq = StepSequencerControl;
constexpr int32_t kOriginX = 7;
constexpr int32_t kOriginY = 112;

Point cellPoint(int32_t step, int32_t y) {
    return {kOriginX + Seq::stepCell(step).left + 7, y};
}
Point centreOf(const Rect& ownRect) {
    return {kOriginX + (ownRect.left + ownRect.right) / 2, kOriginY + (ownRect.top + ownRect.bottom) / 2};
}
// The value a left press at frame row y writes: 0 on the lowest row of the hit area.
float valueAtRow(int32_t y) {
    return static_cast<float>(kOriginY + 97 - y) / 90.0f;
}

class StepSequencerTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        control.reset(new Seq({5, 112, 565, 242}, *host, surface.placement));
    }
    void drawIt() { control->draw(canvas.context); }
    void press(std::initializer_list<ScriptedInput::Step> steps) {
        script(steps);
        Point where = steps.begin()->position;
        control->trackMouse(canvas.context, where);
    }
    void chooseLane(int32_t lane) { press({{mouse::LeftButton, centreOf(Seq::laneButton(lane))}}); }
    float slot(int32_t bank, int32_t lane, int32_t step) const {
        return stateOf(*engine).steps[bank][lane][stateOf(*engine).patternOffset + step];
    }
    // A pixel of cell `step`'s background, clear of its bar and number.
    Color cellBackground(int32_t step) const { return pixel(kOriginX + Seq::stepCell(step).left + 1, 150); }
    Color insideButton(const Rect& ownRect) const {
        return pixel(kOriginX + ownRect.left + 1, kOriginY + ownRect.top + 1);
    }

    Placement surface{575, 130, {575, 130, kOriginX, kOriginY, nullptr}};
    ViewPtr<Seq> control;
};

TEST_F(StepSequencerTest, CellBackgroundsMarkBeatsAndThePlayingStepOffTheBeat) {
    stateOf(*engine).currentStep = 5;
    drawIt();
    EXPECT_EQ(cellBackground(5), (Color{240, 190, 190}));
    EXPECT_EQ(cellBackground(1), (Color{240, 240, 245}));
    EXPECT_EQ(cellBackground(4), (Color{225, 225, 230}));
    EXPECT_EQ(cellBackground(8), (Color{210, 210, 215}));

    stateOf(*engine).currentStep = 12;  // a multiple of 4 keeps its beat colour
    drawIt();
    EXPECT_EQ(cellBackground(12), (Color{225, 225, 230}));
    EXPECT_EQ(cellBackground(5), (Color{240, 240, 245}));

    stateOf(*engine).noteToSliceMode = true;  // the slice started by a note is the one marked
    stateOf(*engine).scheduledSlot = 9;
    drawIt();
    EXPECT_EQ(cellBackground(9), (Color{240, 190, 190}));
    EXPECT_EQ(cellBackground(13), (Color{240, 240, 245}));
}

TEST_F(StepSequencerTest, BarsHaveTheHeightAndColourOfTheirValueAndTrigger) {
    const Color barOutline{130, 130, 130};
    const int32_t cellBottom = kOriginY + 95;
    stateOf(*engine).steps[0][0][1] = 1.0f;
    stateOf(*engine).steps[0][0][3] = 0.0f;
    drawIt();
    const int32_t column = kOriginX + Seq::stepCell(1).left + 3;
    EXPECT_EQ(pixel(column, cellBottom - 89), barOutline);
    EXPECT_NE(pixel(column, cellBottom - 90), barOutline);
    EXPECT_EQ(pixel(column + 2, cellBottom - 2), (Color{64, 78, 192}));
    // Value 0 still shows a one-pixel bar.
    const int32_t silentColumn = kOriginX + Seq::stepCell(3).left + 3;
    EXPECT_EQ(pixel(silentColumn, cellBottom - 1), barOutline);
    EXPECT_NE(pixel(silentColumn, cellBottom - 2), barOutline);

    chooseLane(5);  // Pitch: 0.5 gives 44 pixels; colours follow the step's trigger
    drawIt();
    EXPECT_EQ(pixel(column, cellBottom - 44), barOutline);
    EXPECT_NE(pixel(column, cellBottom - 45), barOutline);
    EXPECT_EQ(pixel(column + 2, cellBottom - 2), (Color{82, 235, 204}));
    EXPECT_EQ(pixel(silentColumn + 2, cellBottom - 2), (Color{200, 249, 239}));
}

TEST_F(StepSequencerTest, LaneNumbersAndBarHeights) {
    EXPECT_EQ(Seq::laneValueText(1.0f, 0), 100);
    EXPECT_EQ(Seq::laneValueText(0.5f, 1), 0);
    EXPECT_EQ(Seq::laneValueText(0.0f, 3), -50);
    for (int32_t i : {0, 5, 31}) {
        EXPECT_EQ(Seq::laneValueText(static_cast<float>(i) * 0.03125f, 4), i + 1) << i;
    }
    EXPECT_EQ(Seq::laneValueText(0.0f, 5), -12);
    EXPECT_EQ(Seq::laneValueText(0.5f, 5), 0);
    EXPECT_EQ(Seq::laneValueText(1.0f, 5), 12);
    EXPECT_EQ(Seq::laneBarHeight(1.0f, 0), 89);
    EXPECT_EQ(Seq::laneBarHeight(0.5f, 0), 44);
    EXPECT_EQ(Seq::laneBarHeight(1.0f, 4), 90);
    EXPECT_EQ(Seq::laneBarHeight(1.0f, 5), 89);
    EXPECT_EQ(Seq::laneBarHeight(0.5f, 5), 44);
    EXPECT_EQ(Seq::laneBarHeight(1.0f, 6), 90);
    // Values from a damaged store stay within the cell.
    EXPECT_EQ(Seq::laneBarHeight(std::numeric_limits<float>::quiet_NaN(), 0), 0);
    EXPECT_EQ(Seq::laneBarHeight(7.0f, 0), 89);
}

TEST_F(StepSequencerTest, ButtonColoursFollowTheEngineAndLearnMode) {
    engine->engine().selectPattern(2);
    engine->engine().selectBank(3);
    drawIt();
    EXPECT_EQ(insideButton(Seq::laneButton(0)), (Color{152, 252, 247}));
    EXPECT_EQ(insideButton(Seq::laneButton(1)), (Color{200, 200, 210}));
    EXPECT_EQ(insideButton(Seq::patternButton(2)), (Color{240, 100, 114}));
    EXPECT_EQ(insideButton(Seq::patternButton(0)), (Color{210, 210, 224}));
    EXPECT_EQ(insideButton(Seq::bankButton(3)), (Color{250, 170, 214}));
    EXPECT_EQ(insideButton(Seq::bankButton(0)), (Color{220, 220, 234}));
    EXPECT_EQ(insideButton(Seq::kLearnButton), (Color{240, 240, 240}));
    EXPECT_EQ(pixel(kOriginX + 1, kOriginY + 1), (Color{250, 236, 225}));

    press({{mouse::LeftButton, centreOf(Seq::kLearnButton)}});
    EXPECT_TRUE(stateOf(*engine).patternNoteLearn);
    press({{mouse::LeftButton, centreOf(Seq::patternButton(6))}});
    EXPECT_EQ(stateOf(*engine).patternLearnTarget, 6);
    EXPECT_EQ(stateOf(*engine).currentPattern, 2);
    drawIt();
    EXPECT_EQ(pixel(kOriginX + 1, kOriginY + 1), (Color{152, 252, 247}));
    EXPECT_EQ(insideButton(Seq::kLearnButton), (Color{250, 130, 130}));
    EXPECT_EQ(insideButton(Seq::patternButton(6)), (Color{250, 130, 130}));
    EXPECT_EQ(insideButton(Seq::patternButton(2)), (Color{240, 240, 240}));
}

TEST_F(StepSequencerTest, DragPaintsEachCellPassedWithThePointerHeight) {
    press({{mouse::LeftButton, cellPoint(3, 150)},
           {mouse::LeftButton, cellPoint(4, 170)},
           {mouse::LeftButton, cellPoint(5, kOriginY + 97)},
           {mouse::LeftButton, cellPoint(6, kOriginY + 2)}});
    EXPECT_FLOAT_EQ(slot(0, 0, 3), valueAtRow(150));
    EXPECT_FLOAT_EQ(slot(0, 0, 4), valueAtRow(170));
    EXPECT_EQ(slot(0, 0, 5), 0.0f);  // the lowest row
    EXPECT_EQ(slot(0, 0, 6), 1.0f);  // the top rows clamp to 1
}

TEST_F(StepSequencerTest, APressOnACellKeepsWritingItAndTouchesNothingElse) {
    const int32_t resolution = stateOf(*engine).resolutionIndex;
    press({{mouse::LeftButton, cellPoint(2, 160)},
           {mouse::LeftButton, centreOf(Seq::laneButton(3))},
           {mouse::LeftButton, centreOf(Seq::patternButton(4))},
           {mouse::LeftButton, centreOf(Seq::kResolutionBox)}});
    EXPECT_FLOAT_EQ(slot(0, 0, 2), valueAtRow(160));
    EXPECT_EQ(control->editLane(), 0);
    EXPECT_EQ(stateOf(*engine).currentPattern, 0);
    EXPECT_EQ(stateOf(*engine).resolutionIndex, resolution);
}

TEST_F(StepSequencerTest, HeldModifierKeepsTheLoopWritingCellsWithLeftValues) {
    press({{mouse::LeftButton, cellPoint(2, 160)}, {mouse::ShiftKey, cellPoint(7, 180)}});
    EXPECT_FLOAT_EQ(slot(0, 0, 7), valueAtRow(180));
}

TEST_F(StepSequencerTest, RightClickWritesEachLanesDefault) {
    press({{mouse::RightButton, cellPoint(0, 150)}});
    EXPECT_EQ(slot(0, 0, 0), 0.0f);
    chooseLane(1);
    stateOf(*engine).steps[0][1][3] = 0.9f;
    press({{mouse::RightButton, cellPoint(3, 150)}});
    EXPECT_EQ(slot(0, 1, 3), 0.5f);
    chooseLane(4);
    stateOf(*engine).steps[0][4][9] = 0.0f;
    press({{mouse::RightButton, cellPoint(9, 150)}});
    EXPECT_EQ(slot(0, 4, 9), 9.0f / 32.0f);
    chooseLane(6);
    press({{mouse::LeftButton, cellPoint(11, 150)}});
    EXPECT_EQ(slot(0, 6, 11), 1.0f);
    press({{mouse::RightButton, cellPoint(11, 150)}});
    EXPECT_EQ(slot(0, 6, 11), 0.0f);
}

TEST_F(StepSequencerTest, ShiftClicksCopyAPatternAcrossBanks) {
    for (int32_t lane = 0; lane < 7; ++lane) {
        for (int32_t step = 0; step < 32; ++step) {
            stateOf(*engine).steps[0][lane][64 + step] = static_cast<float>(lane * 32 + step) / 256.0f;
        }
    }
    press({{mouse::LeftButton | mouse::ShiftKey, centreOf(Seq::patternButton(2))}});
    EXPECT_EQ(stateOf(*engine).currentPattern, 0);  // copying does not select
    press({{mouse::LeftButton, centreOf(Seq::bankButton(1))}});
    EXPECT_EQ(stateOf(*engine).currentBank, 1);
    press({{mouse::RightButton | mouse::ShiftKey, centreOf(Seq::patternButton(5))}});
    EXPECT_EQ(stateOf(*engine).currentPattern, 5);
    for (int32_t lane = 0; lane < 7; ++lane) {
        for (int32_t step = 0; step < 32; ++step) {
            ASSERT_EQ(stateOf(*engine).steps[1][lane][160 + step], stateOf(*engine).steps[0][lane][64 + step])
                << lane << step;
        }
    }
}

TEST_F(StepSequencerTest, ResolutionWrapsBothWays) {
    stateOf(*engine).resolutionIndex = 6;
    press({{mouse::LeftButton, centreOf(Seq::kResolutionBox)}});
    EXPECT_EQ(stateOf(*engine).resolutionIndex, 0);
    press({{mouse::RightButton, centreOf(Seq::kResolutionBox)}});
    EXPECT_EQ(stateOf(*engine).resolutionIndex, 6);
}

TEST_F(StepSequencerTest, LengthAndShuffleBoxesDragAndReset) {
    drawIt();
    const Point length = centreOf(Seq::kLengthBox);
    press({{mouse::LeftButton, length}, {mouse::LeftButton, {length.x - 300, length.y}}});
    EXPECT_FLOAT_EQ(stateOf(*engine).patternLengthValue, 0.07f);
    EXPECT_EQ(stateOf(*engine).patternLength, 2);
    press({{mouse::RightButton, length}});
    EXPECT_EQ(stateOf(*engine).patternLength, 32);

    const Point shuffle = centreOf(Seq::kShuffleBox);
    press({{mouse::LeftButton, shuffle}, {mouse::LeftButton, {shuffle.x, shuffle.y - 30}}});
    EXPECT_NEAR(stateOf(*engine).shuffle, 0.3f, 1e-5f);
    press({{mouse::RightButton, shuffle}});
    EXPECT_EQ(stateOf(*engine).shuffle, 0.0f);
    // A box drag that crosses the cells edits none of them.
    const float before = slot(0, 0, 20);
    press({{mouse::LeftButton, shuffle}, {mouse::LeftButton, cellPoint(20, 150)}});
    EXPECT_EQ(slot(0, 0, 20), before);
}

TEST_F(StepSequencerTest, EachWheelNotchMovesTheShownNumberByOne) {
    struct Shown {
        int32_t lowest;
        int32_t highest;
    };
    const Shown ranges[Seq::kLaneCount] = {{0, 100}, {-50, 50}, {-50, 50}, {-50, 50},
                                           {1, 32},  {-12, 12}, {0, 1}};
    for (int32_t lane = 0; lane < Seq::kLaneCount; ++lane) {
        chooseLane(lane);
        for (int32_t n = 0; n <= 64; ++n) {
            const float start =
                std::min(1.0f, static_cast<float>(n) / 64.0f + static_cast<float>(n % 3) * 0.0041f);
            for (const int32_t notch : {1, -1}) {
                stateOf(*engine).steps[0][lane][9] = start;
                const int32_t before = Seq::laneValueText(start, lane);
                ASSERT_TRUE(control->wheel(nullptr, cellPoint(9, 150), static_cast<float>(notch)));
                EXPECT_EQ(Seq::laneValueText(slot(0, lane, 9), lane),
                          std::clamp(before + notch, ranges[lane].lowest, ranges[lane].highest))
                    << lane << ' ' << start;
            }
        }
    }
    engine->engine().setPatternLength(0.5f);
    EXPECT_TRUE(control->wheel(nullptr, centreOf(Seq::kLengthBox), 1.0f));
    EXPECT_EQ(stateOf(*engine).patternLength, 17);
    EXPECT_TRUE(control->wheel(nullptr, centreOf(Seq::kShuffleBox), 1.0f));
    EXPECT_EQ(static_cast<int32_t>(100.0f * stateOf(*engine).shuffle), 1);
    EXPECT_FALSE(control->wheel(nullptr, centreOf(Seq::kHelpBox), 1.0f));
}

}  // namespace
}  // namespace tramvek::test
