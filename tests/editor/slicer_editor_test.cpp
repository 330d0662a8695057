#include "editor/slicer_editor.h"

#include "editor/parameter_panel_control.h"
#include "editor/step_sequencer_control.h"
#include "editor/waveform_view.h"
#include "editor_test_support.h"
#include "gui/frame.h"
#include "gui/overlay_button.h"
#include "gui/param_display.h"
#include "gui/raster/png_writer.h"
#include "gui/raster/raster_image.h"

namespace tramvek::test {
namespace {

constexpr Color kBackgroundField{255, 205, 127};
constexpr Point kQuestionMark{520, 310};

class SlicerEditorTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        clock.set(start);
        editor = new SlicerEditor(engine.get());
    }
    // Opens the editor and delivers the window's first paint, as a host would.
    HeadlessWindow& openAndPaint() {
        EXPECT_EQ(editor->open(fakeParent()), 1);
        HeadlessWindow& window = headlessWindow(*editor->frame());
        window.paintPendingArea();
        return window;
    }
    Color windowPixel(int32_t x, int32_t y) { return headlessWindow(*editor->frame()).pixels().color(x, y); }
    // A press held for `polls` polls of the view's mouse handling.
    void pressWindow(MouseButtons buttons, Point where, int polls = 2) {
        input().clear();
        for (int i = 0; i < polls; ++i) {
            input().push({buttons, where});
        }
        headlessWindow(*editor->frame()).press(where, buttons);
    }

    uint32_t start = 1000;
    SlicerEditor* editor = nullptr;
};

TEST_F(SlicerEditorTest, RegistersWithTheEngineAndAnswersBeforeOpening) {
    EXPECT_EQ(engine->editor, editor);
    EXPECT_NE(engine->effect.flags & effFlagsHasEditor, 0);
    EXPECT_EQ(engine->panelRedrawFlag, &editor->panelRedrawPending);
    ERect* rect = nullptr;
    EXPECT_EQ(editor->getRect(&rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 331);
    EXPECT_EQ(rect->right, 590);
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(editor->keyDown(key), -1);
    EXPECT_FALSE(editor->wheel(1.0f));
    EXPECT_EQ(editor->setKnobMode(2), 1);

    destroyEditor();
    EXPECT_EQ(engine->editor, nullptr);
    EXPECT_EQ(engine->panelRedrawFlag, nullptr);
    engine->setParameter(0, 0.3f);  // no editor left to tell
}

TEST_F(SlicerEditorTest, OpenBuildsTheFiveViewsInOrderAndCloseTakesThemAll) {
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_EQ(editor->open(fakeParent()), 1);
        Frame* frame = editor->frame();
        ASSERT_EQ(frame->viewCount(), 5);
        EXPECT_EQ(frame->viewAt(0), editor->waveformView());
        EXPECT_EQ(frame->viewAt(1), editor->stepSequencer());
        EXPECT_EQ(frame->viewAt(2), editor->parameterPanel());
        EXPECT_EQ(frame->viewAt(3), editor->helpLabel());
        EXPECT_EQ(frame->viewAt(4), editor->helpButton());
        EXPECT_EQ(frame->viewAt(0)->bounds(), (Rect{10, 245, 460, 325}));
        EXPECT_EQ(frame->viewAt(1)->bounds(), (Rect{5, 112, 565, 242}));
        EXPECT_EQ(frame->viewAt(2)->bounds(), (Rect{7, 7, 582, 109}));
        EXPECT_EQ(frame->viewAt(4)->bounds(), (Rect{500, 302, 540, 317}));
        EXPECT_EQ(rasterPlatform().windows().size(), 1u);
        editor->close();
        EXPECT_EQ(editor->frame(), nullptr);
        EXPECT_EQ(editor->stepSequencer(), nullptr);
        EXPECT_TRUE(rasterPlatform().windows().empty());
        EXPECT_EQ(editor->background()->refCount(), 1);
    }
}

TEST_F(SlicerEditorTest, ReopeningStartsTheSequencerOnTheTriggerLane) {
    openAndPaint();
    const Rect lane = StepSequencerControl::laneButton(4);
    pressWindow(mouse::LeftButton, {7 + lane.left + 5, 112 + lane.top + 5});
    EXPECT_EQ(editor->stepSequencer()->editLane(), 4);
    editor->close();
    editor->open(fakeParent());
    EXPECT_EQ(editor->stepSequencer()->editLane(), 0);
}

TEST_F(SlicerEditorTest, FirstPaintShowsBackgroundViewsAndTheQuestionMark) {
    openAndPaint();
    EXPECT_EQ(windowPixel(300, 243), kBackgroundField);
    EXPECT_EQ(windowPixel(8, 8), (Color{250, 236, 225}));           // panel
    EXPECT_EQ(windowPixel(8, 113), (Color{250, 236, 225}));         // sequencer
    EXPECT_EQ(windowPixel(10 + 142, 315), (Color{235, 235, 235}));  // waveform, slice 10
    EXPECT_EQ(windowPixel(500, 302), (Color{0, 0, 0}));
    EXPECT_EQ(windowPixel(501, 303), (Color{250, 250, 250}));
    int red = 0;
    for (int32_t y = 303; y < 317; ++y) {
        for (int32_t x = 501; x < 540; ++x) {
            const Color c = windowPixel(x, y);
            red += c.red > 200 && c.green < 150 && c.blue < 150 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 5);
    writePng(headlessWindow(*editor->frame()).pixels(), TRAMVEK_EDITOR_TEST_OUTPUT "/editor.png");
}

TEST_F(SlicerEditorTest, IdleWhileClosedOnlyClearsAPostedUpdate) {
    editor->postUpdate();
    engine->setParameter(2, 0.4f);
    EXPECT_TRUE(editor->panelRedrawPending);
    editor->idle();
    EXPECT_FALSE(editor->updatePending);
    EXPECT_TRUE(editor->panelRedrawPending);  // kept for the next opening
    editor->parameterChanged(2, 0.4f);
    EXPECT_FALSE(editor->updatePending);
    openAndPaint();
    editor->idle();
    EXPECT_FALSE(editor->panelRedrawPending);
}

TEST_F(SlicerEditorTest, HostChangesReachThePanelAtTheNextIdleAndTheSequencerEveryIdle) {
    openAndPaint();
    const int32_t barEnd = 7 + ParameterPanelControl::knob(0).left + 89;
    const int32_t knobRow = 7 + ParameterPanelControl::knob(0).top + 1;
    EXPECT_EQ(windowPixel(barEnd, knobRow), (Color{165, 174, 214}));
    engine->setParameter(0, 1.0f);
    engine->currentStep = 5;
    EXPECT_EQ(windowPixel(barEnd, knobRow), (Color{165, 174, 214}));
    editor->idle();
    EXPECT_EQ(windowPixel(barEnd, knobRow), (Color{90, 107, 190}));
    EXPECT_EQ(windowPixel(7 + StepSequencerControl::stepCell(5).left + 1, 150), (Color{240, 190, 190}));
}

TEST_F(SlicerEditorTest, QuestionMarkShowsTheHelpScreenUntilTheNextLeftClick) {
    HeadlessWindow& window = openAndPaint();
    auto* help = new Bitmap(SlicerEditor::kHelpResource);
    const PixelBuffer& helpPixels = static_cast<RasterImage*>(help->image())->pixels();
    const uint32_t helpAt300x200 = helpPixels.at(295, 195);
    help->release();
    const uint32_t sequencerAt300x200 = window.pixels().at(300, 200);
    ASSERT_NE(helpAt300x200, sequencerAt300x200);

    pressWindow(mouse::RightButton, kQuestionMark, 1);
    EXPECT_EQ(window.pixels().at(300, 200), sequencerAt300x200);
    pressWindow(mouse::LeftButton, kQuestionMark, 1);
    EXPECT_EQ(window.pixels().at(300, 200), helpAt300x200);
    editor->idle();  // the views are marked, but only the help screen may draw
    EXPECT_EQ(window.pixels().at(300, 200), helpAt300x200);
    pressWindow(mouse::LeftButton, {40, 40}, 1);
    EXPECT_EQ(window.pixels().at(300, 200), sequencerAt300x200);
    EXPECT_EQ(editor->frame()->modalView(), nullptr);
}

TEST_F(SlicerEditorTest, IdlePumpRunsAFullIdleAboutEvery50Milliseconds) {
    HeadlessWindow& window = openAndPaint();
    window.invalidate({0, 0, 10, 10});
    for (int i = 0; i < 200; ++i) {
        editor->idlePump();
    }
    EXPECT_FALSE(window.paintPending());
    ASSERT_GE(HostRecorder::idleTimes.size(), 10u);
    EXPECT_EQ(HostRecorder::idleTimes.front(), start);
    for (size_t i = 1; i < HostRecorder::idleTimes.size(); ++i) {
        ASSERT_EQ(HostRecorder::idleTimes[i] - HostRecorder::idleTimes[i - 1], 52u) << i;
    }
    // Every call in between slept 4 ms; none ran long.
    EXPECT_EQ(clock.totalSlept(), 4u * static_cast<uint32_t>(clock.sleepCount()));
    EXPECT_EQ(clock.tickCount() - start, clock.totalSlept());
}

TEST_F(SlicerEditorTest, IdlePumpKeepsItsPaceAcrossTheTickCounterWrap) {
    destroyEditor();
    start = 0xFFFFFF80u;
    clock.set(start);
    editor = new SlicerEditor(engine.get());
    for (int i = 0; i < 200; ++i) {
        editor->idlePump();
    }
    ASSERT_GE(HostRecorder::idleTimes.size(), 10u);
    for (size_t i = 1; i < HostRecorder::idleTimes.size(); ++i) {
        ASSERT_EQ(HostRecorder::idleTimes[i] - HostRecorder::idleTimes[i - 1], 52u) << i;
    }
}

TEST_F(SlicerEditorTest, HostIdleReenteringTheEditorDoesNotRedraw) {
    openAndPaint();
    bool pendingAfterInnerIdle = false;
    HostRecorder::onIdle = [&] {
        editor->postUpdate();
        editor->idle();
        pendingAfterInnerIdle = editor->updatePending;
    };
    editor->idlePump();
    EXPECT_TRUE(pendingAfterInnerIdle);
    EXPECT_FALSE(editor->inIdlePump());
}

TEST_F(SlicerEditorTest, KnobDragThroughTheWindowKeepsTheHostIdling) {
    openAndPaint();
    const Rect knob = ParameterPanelControl::knob(0);
    const Point start{7 + knob.left + 10, 7 + knob.top + 10};
    for (int32_t i = 0; i <= 60; ++i) {
        input().push({mouse::LeftButton, {start.x + i, start.y}});
    }
    headlessWindow(*editor->frame()).press(start, mouse::LeftButton);
    EXPECT_NEAR(engine->paramValues[0], 60 * 0.013333334f, 1e-4f);
    ASSERT_GE(HostRecorder::idleTimes.size(), 2u);
    for (size_t i = 1; i < HostRecorder::idleTimes.size(); ++i) {
        EXPECT_GE(HostRecorder::idleTimes[i] - HostRecorder::idleTimes[i - 1], 50u);
    }
}

}  // namespace
}  // namespace tramvek::test
