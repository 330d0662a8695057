#include "editor/slicer_editor.h"

#include <algorithm>
#include <functional>

#include "editor/parameter_panel_control.h"
#include "editor/step_sequencer_control.h"
#include "editor/waveform_view.h"
#include "editor_test_support.h"
#include "gui/frame.h"
#include "gui/overlay_button.h"
#include "gui/param_display.h"
#include "gui/raster/png_writer.h"
#include "gui/raster/raster_image.h"
#include "plugin/vst2/vst2_editor.h"

namespace tramvek::test {
namespace {

constexpr Color kBackgroundField{255, 205, 127};
constexpr Point kQuestionMark{520, 310};
constexpr Color kSwitchOn{250, 130, 130};
constexpr Color kSwitchOff{240, 240, 240};

// The centre of a sequencer or panel element, and a pixel just inside its outline, in the window.
Point sequencerCentre(const Rect& own) {
    return {7 + (own.left + own.right) / 2, 112 + (own.top + own.bottom) / 2};
}
Point panelCentre(const Rect& own) {
    return {7 + (own.left + own.right) / 2, 7 + (own.top + own.bottom) / 2};
}
Point panelCorner(const Rect& own) {
    return {7 + own.left + 1, 7 + own.top + 1};
}

// Answers each poll from a function of the poll's number, for looking at the
// window while a press is held.
class PollScript : public PointerSource {
  public:
    PollScript(Point where, std::function<MouseButtons(int poll)> buttons)
        : where_(where), buttons_(std::move(buttons)) {}
    MouseButtons pollButtons() override { return buttons_(polls_++); }
    Point position() override { return where_; }

  private:
    Point where_;
    std::function<MouseButtons(int poll)> buttons_;
    int polls_ = 0;
};

class SlicerEditorTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        clock.set(start);
        createEditor();
    }
    // A new editor of the engine as VST 2 hosts get it; the plug-in owns it.
    void createEditor() {
        auto created = std::make_unique<Vst2Editor>(*engine, engine->engine());
        hosted = created.get();
        editor = &created->editor();
        engine->setEditor(std::move(created));
    }
    // Opens the editor and delivers the window's first paint, as a host would.
    HeadlessWindow& openAndPaint() {
        EXPECT_EQ(hosted->open(fakeParent()), 1);
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

    Color windowPixel(Point at) { return windowPixel(at.x, at.y); }

    uint32_t start = 1000;
    Vst2Editor* hosted = nullptr;
    SlicerEditor* editor = nullptr;
};

TEST_F(SlicerEditorTest, RegistersWithTheEngineAndAnswersBeforeOpening) {
    EXPECT_NE(engine->effect.flags & effFlagsHasEditor, 0);
    editor->panelRedrawPending = false;
    engine->setParameter(1, 0.5f);
    EXPECT_TRUE(editor->panelRedrawPending.load());  // the engine tells this editor
    ERect* rect = nullptr;
    EXPECT_EQ(hosted->getRect(&rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 331);
    EXPECT_EQ(rect->right, 590);
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(hosted->keyDown(key), -1);
    EXPECT_FALSE(hosted->wheel(1.0f));
    EXPECT_EQ(hosted->setKnobMode(2), 1);

    destroyEditor();
    EXPECT_EQ(engine->editor.get(), nullptr);
    engine->setParameter(0, 0.3f);  // no editor left to tell
}

TEST_F(SlicerEditorTest, OpenBuildsTheFiveViewsInOrderAndCloseTakesThemAll) {
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(editor->open(fakeParent()));
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
        EXPECT_EQ(headlessPlatform().windows().size(), 1u);
        editor->close();
        EXPECT_EQ(editor->frame(), nullptr);
        EXPECT_EQ(editor->stepSequencer(), nullptr);
        EXPECT_TRUE(headlessPlatform().windows().empty());
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
    stateOf(*engine).currentStep = 5;
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
    createEditor();
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
    EXPECT_NEAR(stateOf(*engine).paramValues[0], 60 * 0.013333334f, 1e-4f);
    ASSERT_GE(HostRecorder::idleTimes.size(), 2u);
    for (size_t i = 1; i < HostRecorder::idleTimes.size(); ++i) {
        EXPECT_GE(HostRecorder::idleTimes[i] - HostRecorder::idleTimes[i - 1], 50u);
    }
}

TEST_F(SlicerEditorTest, AClickOverBeforeTheControlLooksActsOnceOnEveryKindOfControl) {
    openAndPaint();
    std::fill_n(stateOf(*engine).playBuffers.writable(0), 100, 0.5f);
    struct Click {
        const char* control;
        Point where;
        std::function<bool()> acted;
    };
    const Click clicks[] = {
        {"step cell 12",
         {7 + StepSequencerControl::stepCell(11).left + 7, 112 + 50},
         [&] { return stateOf(*engine).steps[0][0][11] > 0.0f; }},
        {"pattern 3", sequencerCentre(StepSequencerControl::patternButton(2)),
         [&] { return stateOf(*engine).currentPattern == 2; }},
        {"bank B", sequencerCentre(StepSequencerControl::bankButton(1)),
         [&] { return stateOf(*engine).currentBank == 1; }},
        {"lane Pitch", sequencerCentre(StepSequencerControl::laneButton(5)),
         [&] { return editor->stepSequencer()->editLane() == 5; }},
        {"resolution", sequencerCentre(StepSequencerControl::kResolutionBox),
         [&] { return stateOf(*engine).resolutionIndex == 4; }},
        {"Flush", panelCentre(ParameterPanelControl::kFlushButton),
         [&] {
             float sample = 0.0f;
             float* io[2] = {&sample, &sample};
             engine->processReplacing(io, io, 1);  // the audio thread carries the flush out
             return stateOf(*engine).playBuffers.writable(0)[0] == 0.0f;
         }},
        {"Freeze", panelCentre(ParameterPanelControl::kFreezeButton),
         [&] { return stateOf(*engine).freeze.load(); }},
        {"panel MidiLearn", panelCentre(ParameterPanelControl::kLearnButton),
         [&] { return stateOf(*engine).paramMidiLearn.load(); }},
        {"knob Reso in learn", panelCentre(ParameterPanelControl::knob(3)),
         [&] { return stateOf(*engine).paramLearnTarget == 3; }},
        {"sequencer MidiLearn", sequencerCentre(StepSequencerControl::kLearnButton),
         [&] { return stateOf(*engine).patternNoteLearn.load(); }},
        {"help", kQuestionMark, [&] { return editor->frame()->modalView() == editor->helpButton(); }},
    };
    for (const Click& click : clicks) {
        input().clear();  // every poll finds the button up again
        input().setPosition(click.where);
        headlessWindow(*editor->frame()).press(click.where, mouse::LeftButton);
        EXPECT_TRUE(click.acted()) << click.control;
    }
}

TEST_F(SlicerEditorTest, ThePanelShowsWhatChangedElsewhereAfterTheNextIdle) {
    openAndPaint();
    const Point noteLearn = panelCorner(ParameterPanelControl::kNoteSliceLearnButton);
    const Point freeze = panelCorner(ParameterPanelControl::kFreezeButton);
    const Point knobBar = panelCorner(ParameterPanelControl::knob(0));
    engine->engine().toggleNoteSliceLearn();
    editor->idle();
    EXPECT_EQ(windowPixel(noteLearn), kSwitchOn);

    // The sequencer's pattern learn switches the panel's note learn off.
    pressWindow(mouse::LeftButton, sequencerCentre(StepSequencerControl::kLearnButton), 1);
    editor->idle();
    EXPECT_EQ(windowPixel(noteLearn), kSwitchOff);

    // A program change and a bank load.
    engine->setProgram(2);
    engine->setParameter(0, 1.0f);
    editor->idle();
    EXPECT_EQ(windowPixel(knobBar), (Color{90, 107, 190}));
    engine->setProgram(0);
    editor->idle();
    EXPECT_EQ(windowPixel(knobBar), (Color{165, 174, 214}));

    SlicerPlugin saved(&HostRecorder::callback);
    saved.engine().toggleFreeze();
    saved.engine().toggleSliceTriggering();
    void* chunk = nullptr;
    const VstInt32 size = saved.getChunk(&chunk, false);
    engine->setChunk(chunk, size, false);
    editor->idle();
    EXPECT_EQ(windowPixel(freeze), (Color{100, 100, 250}));
    EXPECT_EQ(windowPixel(panelCorner(ParameterPanelControl::kSliceTriggerButton)), kSwitchOn);
}

TEST_F(SlicerEditorTest, AnIdleDrawsOnlyWhatChanged) {
    HeadlessWindow& window = openAndPaint();
    editor->idle();
    // Marks in each view's picture: an idle that draws the view paints over its mark.
    const Point panel{8, 8};
    const Point sequencer{8, 113};
    const Point waveform{11, 246};
    const uint32_t mark = packRgb(1, 2, 3);
    const auto markAll = [&] {
        for (Point at : {panel, sequencer, waveform}) {
            window.pixels().at(at.x, at.y) = mark;
        }
    };
    markAll();
    editor->idle();
    EXPECT_EQ(window.pixels().at(panel.x, panel.y), mark);
    EXPECT_EQ(window.pixels().at(sequencer.x, sequencer.y), mark);
    EXPECT_EQ(window.pixels().at(waveform.x, waveform.y), mark);

    stateOf(*engine).currentStep = 5;  // the playing step moves
    editor->idle();
    EXPECT_EQ(window.pixels().at(panel.x, panel.y), mark);
    EXPECT_NE(window.pixels().at(sequencer.x, sequencer.y), mark);

    markAll();
    stateOf(*engine).scheduledSlot = 7;  // the playing slice
    editor->idle();
    EXPECT_NE(window.pixels().at(waveform.x, waveform.y), mark);
    EXPECT_EQ(window.pixels().at(sequencer.x, sequencer.y), mark);

    markAll();
    stateOf(*engine).playBuffers.writable(0)[0] = 1.0f;  // the buffer
    stateOf(*engine).playBuffers.writable(1)[0] = 1.0f;
    editor->idle();
    EXPECT_NE(window.pixels().at(waveform.x, waveform.y), mark);
    EXPECT_EQ(window.pixels().at(panel.x, panel.y), mark);
}

TEST_F(SlicerEditorTest, AHeldButtonShowsItsChangeAndWaitsBetweenPolls) {
    openAndPaint();
    const Rect pitch = StepSequencerControl::laneButton(5);
    const Point lanePixel{7 + pitch.left + 1, 112 + pitch.top + 1};
    Color whileHeld{};
    PollScript held(sequencerCentre(pitch), [&](int poll) {
        if (poll == 5) {
            whileHeld = windowPixel(lanePixel);
        }
        return poll < 10 ? mouse::LeftButton : 0;
    });
    headlessPlatform().setPointerSource(&held);
    const int32_t sleepsBefore = clock.sleepCount();
    headlessWindow(*editor->frame()).press(sequencerCentre(pitch), mouse::LeftButton);
    headlessPlatform().setPointerSource(nullptr);
    EXPECT_EQ(whileHeld, (Color{152, 252, 247}));
    EXPECT_GE(clock.sleepCount() - sleepsBefore, 5);
}

}  // namespace
}  // namespace tramvek::test
