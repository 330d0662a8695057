#include "editor/parameter_panel_control.h"

#include <algorithm>
#include <vector>

#include "editor_test_support.h"

namespace tramvek::test {
namespace {

using Panel = ParameterPanelControl;
constexpr int32_t kOrigin = 7;
constexpr Color kKnob{165, 174, 214};
constexpr Color kBar{90, 107, 190};

Point centreOf(const Rect& ownRect) {
    return {kOrigin + (ownRect.left + ownRect.right) / 2, kOrigin + (ownRect.top + ownRect.bottom) / 2};
}

class ParameterPanelTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        panel.reset(new Panel({7, 7, 582, 109}, *host, surface.placement));
        panel->draw(canvas.context);
    }
    void press(std::initializer_list<ScriptedInput::Step> steps) {
        script(steps);
        Point where = steps.begin()->position;
        panel->trackMouse(canvas.context, where);
    }
    // A pixel in knob `index`'s top row of fill, `dx` pixels right of its left edge.
    Color knobPixel(int32_t index, int32_t dx) const {
        const Rect knob = Panel::knob(index);
        return pixel(kOrigin + knob.left + dx, kOrigin + knob.top + 1);
    }
    // After a block: the audio thread carries out a flush.
    bool playBufferSilent() {
        float sample = 0.0f;
        float* io[2] = {&sample, &sample};
        engine->processReplacing(io, io, 1);
        return std::all_of(stateOf(*engine).playBuffers.writable(0),
                           stateOf(*engine).playBuffers.writable(0) + 100, [](float s) { return s == 0.0f; });
    }

    Placement surface{575, 110, {575, 102, kOrigin, kOrigin, nullptr}};
    ViewPtr<Panel> panel;
};

TEST_F(ParameterPanelTest, KnobBarsAreNinetyTimesTheValueWide) {
    engine->engine().setParameter(0, 0.5f);
    engine->engine().setParameter(3, 0.37f);
    engine->engine().setParameter(2, 1.0f);
    panel->draw(canvas.context);
    EXPECT_EQ(knobPixel(0, 44), kBar);
    EXPECT_EQ(knobPixel(0, 45), kKnob);
    EXPECT_EQ(knobPixel(3, 32), kBar);
    EXPECT_EQ(knobPixel(3, 33), kKnob);
    EXPECT_EQ(knobPixel(2, 89), kBar);
    EXPECT_EQ(knobPixel(2, 90), (Color{0, 0, 0}));
}

TEST_F(ParameterPanelTest, DisplayValues) {
    const float values[8] = {1.0f, 0.999f, 0.0f, 0.5f, 0.25f, 0.0f, 0.5f, 0.0f};
    for (int32_t i = 0; i < 8; ++i) {
        engine->engine().setParameter(i, values[i]);
    }
    panel->draw(canvas.context);
    EXPECT_EQ(panel->displayValue(0), 100);
    EXPECT_EQ(panel->displayValue(1), 99);
    EXPECT_EQ(panel->displayValue(6), 0);
    engine->engine().setParameter(6, 0.0f);
    panel->draw(canvas.context);
    EXPECT_EQ(panel->displayValue(6), -12);
    engine->engine().setParameter(6, 1.0f);
    panel->draw(canvas.context);
    EXPECT_EQ(panel->displayValue(6), 12);
    EXPECT_EQ(panel->displayValue(8), 0);
}

TEST_F(ParameterPanelTest, LearnModeColoursAndInformationSets) {
    engine->engine().setParameter(1, 1.0f);
    engine->engine().toggleMidiLearn();
    engine->engine().setLearnTarget(2);
    panel->draw(canvas.context);
    EXPECT_EQ(pixel(kOrigin + 1, kOrigin + 1), (Color{152, 252, 247}));
    EXPECT_EQ(knobPixel(2, 1), (Color{252, 35, 27}));
    EXPECT_EQ(knobPixel(1, 1), kKnob);  // no bar while learning
    const Rect learn = Panel::kLearnButton;
    EXPECT_EQ(pixel(kOrigin + learn.left + 1, kOrigin + learn.top + 1), (Color{250, 130, 130}));
    EXPECT_EQ(panel->infoSet(), 1);
    const Rect info = Panel::kInfoBox;
    EXPECT_EQ(pixel(kOrigin + info.left + 1, kOrigin + info.top + 1), (Color{244, 151, 129}));

    engine->engine().toggleSliceTriggering();
    engine->engine().toggleNoteSliceLearn();
    panel->draw(canvas.context);
    EXPECT_EQ(panel->infoSet(), 3);
    engine->engine().toggleNoteSliceLearn();
    engine->engine().toggleMidiLearn();
    panel->draw(canvas.context);
    EXPECT_EQ(panel->infoSet(), 2);
    engine->engine().toggleSliceTriggering();
    panel->draw(canvas.context);
    EXPECT_EQ(panel->infoSet(), 0);
    EXPECT_EQ(pixel(kOrigin + info.left + 1, kOrigin + info.top + 1), (Color{250, 236, 225}));

    engine->engine().toggleFreeze();
    panel->draw(canvas.context);
    const Rect freeze = Panel::kFreezeButton;
    EXPECT_EQ(pixel(kOrigin + freeze.left + 1, kOrigin + freeze.top + 1), (Color{100, 100, 250}));
}

TEST_F(ParameterPanelTest, KnobSpansItsRangeIn75PixelsRightOr800Up) {
    const Point start = centreOf(Panel::knob(0));
    press({{mouse::LeftButton, start}, {mouse::LeftButton, {start.x + 75, start.y}}});
    EXPECT_EQ(stateOf(*engine).paramValues[0], 1.0f);

    const Point start4 = centreOf(Panel::knob(4));
    press({{mouse::LeftButton, start4},
           {mouse::LeftButton, {start4.x, start4.y - 400}},
           {mouse::LeftButton, {start4.x, start4.y - 800}},
           {mouse::LeftButton, {start4.x, start4.y - 900}}});
    EXPECT_EQ(stateOf(*engine).paramValues[4], 1.0f);

    // Once captured the knob follows the pointer anywhere, and never goes below 0.
    press({{mouse::LeftButton, start},
           {mouse::LeftButton, {start.x - 40, start.y + 200}},
           {mouse::LeftButton, {start.x - 300, start.y + 200}}});
    EXPECT_EQ(stateOf(*engine).paramValues[0], 0.0f);
    press({{mouse::LeftButton, start}, {mouse::LeftButton, {start.x + 15, start.y}}});
    EXPECT_NEAR(stateOf(*engine).paramValues[0], 0.2f, 1e-6f);
}

TEST_F(ParameterPanelTest, AKnobDragIsOneEditFromPressToRelease) {
    engine->engine().setParameter(2, 0.1f);  // Cutoff, with room to rise
    panel->draw(canvas.context);
    const Point start = centreOf(Panel::knob(2));
    press({{mouse::LeftButton, start},
           {mouse::LeftButton, {start.x + 5, start.y}},
           {mouse::LeftButton, {start.x + 5, start.y}},
           {mouse::LeftButton, {start.x + 12, start.y - 3}},
           {mouse::LeftButton, {start.x + 20, start.y}}});
    const std::vector<RecordingHost::Edit>& edits = host->edits;
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, RecordingHost::kBegin);
    EXPECT_EQ(edits.back().kind, RecordingHost::kEnd);
    float last = -1.0f;
    for (const RecordingHost::Edit& edit : edits) {
        EXPECT_EQ(edit.index, 2);
        if (&edit != &edits.front() && &edit != &edits.back()) {
            EXPECT_EQ(edit.kind, RecordingHost::kPerform);
            EXPECT_GT(edit.value, last);
            last = edit.value;
        }
    }
    EXPECT_EQ(last, stateOf(*engine).paramValues[2]);
}

TEST_F(ParameterPanelTest, FlushAndFreezeFireAtMostOncePerPress) {
    std::fill_n(stateOf(*engine).playBuffers.writable(0), 100, 0.5f);
    const Point freeze = centreOf(Panel::kFreezeButton);
    press({{mouse::LeftButton, freeze},
           {mouse::LeftButton, freeze},
           {mouse::LeftButton, freeze},
           {mouse::LeftButton, centreOf(Panel::kFlushButton)},
           {mouse::LeftButton, centreOf(Panel::kLearnButton)}});
    EXPECT_TRUE(stateOf(*engine).freeze);
    EXPECT_FALSE(playBufferSilent());
    EXPECT_FALSE(stateOf(*engine).paramMidiLearn);

    // A knob drag that passes over the flush button flushes.
    const Point knob = centreOf(Panel::knob(1));
    press({{mouse::LeftButton, knob}, {mouse::LeftButton, centreOf(Panel::kFlushButton)}});
    EXPECT_TRUE(playBufferSilent());
}

TEST_F(ParameterPanelTest, HeldModifierKeepsTheLoopAndButtonsStillFire) {
    press({{mouse::LeftButton, {100, 40}}, {mouse::ControlKey, centreOf(Panel::kSliceTriggerButton)}});
    EXPECT_TRUE(stateOf(*engine).noteToSliceMode);
}

TEST_F(ParameterPanelTest, LearnModePressesChooseTheLearnTarget) {
    press({{mouse::LeftButton, centreOf(Panel::kLearnButton)}});
    EXPECT_TRUE(stateOf(*engine).paramMidiLearn);
    const float before = stateOf(*engine).paramValues[3];
    press({{mouse::LeftButton, centreOf(Panel::knob(3))},
           {mouse::LeftButton, centreOf(Panel::knob(5))},
           {mouse::LeftButton, centreOf(Panel::knob(6))}});
    EXPECT_EQ(stateOf(*engine).paramLearnTarget, 6);
    EXPECT_EQ(stateOf(*engine).paramValues[3], before);
}

TEST_F(ParameterPanelTest, EachWheelNotchMovesTheShownNumberByOne) {
    for (int32_t i = 0; i < Panel::kKnobCount; ++i) {
        const int32_t highest = i == 6 ? 12 : 100;
        const int32_t lowest = i == 6 ? -12 : 0;
        for (int32_t n = 0; n <= 40; ++n) {
            // Values spread over the levels' width, the ends included.
            const float start =
                std::min(1.0f, static_cast<float>(n) / 40.0f + static_cast<float>(n % 3) * 0.0037f);
            for (const int32_t notch : {1, -1}) {
                engine->engine().setParameter(i, start);
                panel->draw(canvas.context);
                const int32_t before = panel->displayValue(i);
                host->edits.clear();
                ASSERT_TRUE(
                    panel->wheel(&canvas.context, centreOf(Panel::knob(i)), static_cast<float>(notch)));
                EXPECT_EQ(panel->displayValue(i), std::clamp(before + notch, lowest, highest))
                    << i << ' ' << start;
                // Each notch is a whole edit of its own.
                ASSERT_EQ(host->edits.size(), 3u);
                EXPECT_EQ(host->edits[0].kind, RecordingHost::kBegin);
                EXPECT_EQ(host->edits[1].kind, RecordingHost::kPerform);
                EXPECT_EQ(host->edits[2].kind, RecordingHost::kEnd);
                for (const RecordingHost::Edit& edit : host->edits) {
                    EXPECT_EQ(edit.index, i);
                }
            }
        }
    }
    EXPECT_FALSE(panel->wheel(&canvas.context, centreOf(Panel::kFlushButton), 1.0f));
}

}  // namespace
}  // namespace tramvek::test
