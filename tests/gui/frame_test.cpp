// The frame: view list, press routing, modal view, idle and paint redraws, keys,
// drops and wheel, window lifetime.
#include <gtest/gtest.h>

#include <memory>

#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui/gui_test_support.h"
#include "gui/raster/raster_image.h"

namespace tramvek::test {
namespace {

class FrameTest : public RasterTest {
  protected:
    void SetUp() override {
        RasterTest::SetUp();
        frame = std::make_unique<Frame>(Rect{0, 0, 100, 80}, fakeParent(), &editor);
        ASSERT_NE(frame->window(), nullptr);
    }
    void TearDown() override {
        frame.reset();
        RasterTest::TearDown();
    }

    RecordingView* add(const Rect& bounds) {
        auto* view = new RecordingView(bounds);
        EXPECT_TRUE(frame->addView(view));
        return view;
    }
    HeadlessWindow& window() { return headlessWindow(*frame); }
    void firstPaint() { ASSERT_TRUE(window().paintPendingArea()); }

    CountingEditor editor;
    std::unique_ptr<Frame> frame;
};

TEST_F(FrameTest, ThePressGoesToTheTopmostEnabledViewUnderIt) {
    RecordingView* lower = add({10, 10, 50, 50});
    RecordingView* upper = add({40, 40, 90, 70});
    window().press({45, 45}, mouse::LeftButton);
    EXPECT_EQ(upper->presses, 1);
    EXPECT_EQ(lower->presses, 0);
    EXPECT_EQ(upper->lastPress, (Point{45, 45}));

    window().press({50, 50}, mouse::LeftButton);  // both edges inclusive
    EXPECT_EQ(upper->presses, 2);
    window().press({20, 20}, mouse::LeftButton);
    EXPECT_EQ(lower->presses, 1);
    window().press({95, 75}, mouse::LeftButton);
    EXPECT_EQ(lower->presses + upper->presses, 3);

    upper->setMouseEnabled(false);
    window().press({45, 45}, mouse::LeftButton);
    EXPECT_EQ(lower->presses, 2);
    EXPECT_EQ(upper->presses, 2);
}

TEST_F(FrameTest, AModalViewAloneReceivesPressesAndOnlyInsideItself) {
    RecordingView* below = add({0, 0, 100, 80});
    RecordingView* modal = add({20, 20, 30, 30});
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_EQ(modal->attaches, 2);
    window().press({5, 5}, mouse::LeftButton);
    EXPECT_EQ(below->presses, 0);
    EXPECT_EQ(modal->presses, 0);
    window().press({30, 30}, mouse::LeftButton);
    EXPECT_EQ(modal->presses, 1);

    EXPECT_FALSE(frame->setModalView(below));
    EXPECT_EQ(frame->modalView(), modal);
    EXPECT_TRUE(frame->setModalView(nullptr));
    EXPECT_EQ(modal->detaches, 1);
    window().press({5, 5}, mouse::LeftButton);
    EXPECT_EQ(below->presses, 1);
}

TEST_F(FrameTest, IdleUpdateWaitsForTheFirstPaintThenRedrawsOnlyDirtyViews) {
    RecordingView* dirty = add({0, 0, 10, 10});
    RecordingView* clean = add({20, 0, 30, 10});
    dirty->setNeedsRedraw(true);
    frame->idleUpdate();
    EXPECT_EQ(dirty->draws, 0);
    EXPECT_TRUE(frame->firstDrawPending());

    firstPaint();
    EXPECT_FALSE(frame->firstDrawPending());
    EXPECT_EQ(dirty->areaDraws, 1);
    EXPECT_EQ(clean->areaDraws, 1);

    frame->idleUpdate();
    EXPECT_EQ(dirty->draws, 2);
    EXPECT_EQ(clean->draws, 1);
    EXPECT_FALSE(dirty->needsRedraw());
    frame->idleUpdate();
    EXPECT_EQ(dirty->draws, 2);
}

TEST_F(FrameTest, WithAModalViewIdleUpdatesOnlyIt) {
    RecordingView* other = add({0, 0, 10, 10});
    RecordingView* modal = add({20, 0, 30, 10});
    firstPaint();
    frame->setModalView(modal);
    other->setNeedsRedraw(true);
    frame->idleUpdate();
    EXPECT_EQ(other->draws, 1);  // from the paint only
    EXPECT_EQ(modal->draws, 1);
    modal->setNeedsRedraw(true);
    frame->idleUpdate();
    EXPECT_EQ(modal->draws, 2);
    EXPECT_EQ(other->draws, 1);
}

TEST_F(FrameTest, ADirtyFrameRedrawsEverythingOnIdle) {
    RecordingView* a = add({0, 0, 10, 10});
    RecordingView* b = add({20, 0, 30, 10});
    firstPaint();
    frame->setNeedsRedraw(true);
    frame->idleUpdate();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 2);
    EXPECT_FALSE(frame->needsRedraw());
}

TEST_F(FrameTest, RedrawViewDrawsAKnownViewOrElseTheWholeFrame) {
    RecordingView* a = add({0, 0, 10, 10});
    RecordingView* b = add({20, 0, 30, 10});
    frame->redrawView(a);
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 0);
    RecordingView stranger({0, 0, 5, 5});
    frame->redrawView(&stranger);
    EXPECT_EQ(stranger.draws, 0);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    frame->redrawView(nullptr);
    EXPECT_EQ(b->draws, 2);
    EXPECT_FALSE(frame->firstDrawPending());
}

TEST_F(FrameTest, APaintDrawsTheBackgroundInsideItsAreaAndTheViewsOverlappingIt) {
    auto* background = new Bitmap(nullptr, 100, 80);
    static_cast<RasterImage*>(background->image())->pixels().fill({0, 0, 100, 80}, colors::Cyan.packed());
    frame->setBackground(background);
    EXPECT_EQ(background->refCount(), 2);
    RecordingView* inside = add({10, 10, 20, 20});
    RecordingView* outside = add({60, 60, 70, 70});
    window().paintPendingArea();
    window().pixels().fill({0, 0, 100, 80}, 0);

    window().paint({5, 5, 25, 15});
    EXPECT_EQ(inside->areaDraws, 2);
    EXPECT_EQ(outside->areaDraws, 1);
    const std::optional<Rect> painted = inkBox(window().pixels(), 0);
    ASSERT_TRUE(painted.has_value());
    EXPECT_EQ(*painted, (Rect{5, 5, 24, 14}));
    EXPECT_EQ(window().pixels().at(5, 5), colors::Cyan.packed());

    frame.reset();
    EXPECT_EQ(background->refCount(), 1);
    background->release();
}

TEST_F(FrameTest, DestroyingTheFrameReleasesEveryViewOnce) {
    std::vector<RecordingView*> destroyed;
    auto* owned = new RecordingView({0, 0, 5, 5}, &destroyed);
    auto* shared = new RecordingView({0, 0, 5, 5}, &destroyed);
    shared->retain();
    frame->addView(owned);
    frame->addView(shared);
    EXPECT_EQ(headlessPlatform().windows().size(), 1u);
    frame.reset();
    EXPECT_EQ(destroyed, (std::vector<RecordingView*>{owned}));
    EXPECT_EQ(shared->refCount(), 1);
    EXPECT_EQ(shared->detaches, 1);
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(headlessPlatform().dropServiceUsers(), 0);
    shared->release();
}

TEST_F(FrameTest, TheViewListGrowsAndShrinks) {
    std::vector<RecordingView*> views;
    for (int i = 0; i < 25; ++i) {
        views.push_back(add({i, 0, i, 0}));
    }
    EXPECT_EQ(frame->viewCount(), 25);
    EXPECT_EQ(frame->viewAt(24), views[24]);
    EXPECT_EQ(frame->viewAt(25), nullptr);
    EXPECT_EQ(frame->viewAt(-1), nullptr);
    EXPECT_EQ(views[3]->parentFrame(), frame.get());

    views[3]->retain();
    EXPECT_TRUE(frame->removeView(views[3], true));
    EXPECT_EQ(views[3]->refCount(), 1);
    EXPECT_EQ(views[3]->detaches, 1);
    EXPECT_EQ(frame->viewAt(3), views[4]);
    EXPECT_FALSE(frame->containsView(views[3]));
    EXPECT_FALSE(frame->removeView(views[3], true));
    EXPECT_EQ(frame->viewCount(), 24);
    views[3]->release();
}

TEST_F(FrameTest, KeysGoToTheModalViewThenFromTopToBottom) {
    RecordingView* lower = add({0, 0, 5, 5});
    RecordingView* upper = add({0, 0, 5, 5});
    EXPECT_EQ(frame->keyDown({65, 0, 0}), -1);
    lower->keyAnswer = 1;
    EXPECT_EQ(frame->keyDown({66, 0, 0}), 1);
    EXPECT_EQ(upper->lastKey, 66);
    upper->keyAnswer = 2;
    EXPECT_EQ(frame->keyDown({67, 0, 0}), 2);
    EXPECT_EQ(lower->lastKey, 66);
    RecordingView modal({0, 0, 1, 1});
    modal.retain();
    frame->setModalView(&modal);
    modal.keyAnswer = 3;
    EXPECT_EQ(frame->keyDown({68, 0, 0}), 3);
    EXPECT_EQ(upper->lastKey, 67);
    EXPECT_EQ(frame->keyUp({68, 0, 0}), -1);
    frame->setModalView(nullptr);
}

TEST_F(FrameTest, DropsGoToTheViewUnderThePointerUnlessAModalViewIsShown) {
    window().setScreenOrigin({200, 100});
    RecordingView* refusing = add({0, 0, 50, 50});
    RecordingView* taking = add({0, 0, 20, 20});
    taking->acceptsDrops = false;
    refusing->acceptsDrops = true;
    input().setPosition({210, 110});
    const char* text = "hello";
    window().drop(&text, 6, 1);
    EXPECT_EQ(taking->drops, 1);
    EXPECT_EQ(refusing->drops, 1);
    EXPECT_EQ(refusing->lastDropCount, 6);

    input().setPosition({240, 140});
    window().drop(&text, 6, 1);
    EXPECT_EQ(taking->drops, 1);
    EXPECT_EQ(refusing->drops, 2);

    frame->setModalView(taking);
    EXPECT_FALSE(frame->acceptDrop(&text, 6, 1, {10, 10}));
    EXPECT_EQ(refusing->drops, 2);
    frame->setModalView(nullptr);
}

class WheelView : public RecordingView {
  public:
    using RecordingView::RecordingView;
    bool wheel(DrawContext*, Point where, float distance) override {
        lastWheel = where;
        lastDistance = distance;
        return true;
    }
    Point lastWheel{-1, -1};
    float lastDistance = 0.0f;
};

TEST_F(FrameTest, TheWheelGoesToTheViewUnderThePointerEvenIfMouseDisabled) {
    window().setScreenOrigin({10, 10});
    auto* view = new WheelView({30, 30, 40, 40});
    frame->addView(view);
    view->setMouseEnabled(false);
    input().setPosition({45, 45});
    EXPECT_TRUE(frame->wheel(nullptr, {0, 0}, 2.0f));
    EXPECT_EQ(view->lastWheel, (Point{35, 35}));
    EXPECT_EQ(view->lastDistance, 2.0f);
    input().setPosition({5, 5});
    EXPECT_FALSE(frame->wheel(nullptr, {0, 0}, 1.0f));
    EXPECT_EQ(frame->viewUnderMouse(), nullptr);
}

TEST_F(FrameTest, AfterThePlatformDestroysTheWindowNothingIsDrawn) {
    RecordingView* view = add({0, 0, 10, 10});
    firstPaint();
    window().destroy();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->parentWindow(), nullptr);
    view->setNeedsRedraw(true);
    frame->idleUpdate();
    frame->redrawView(nullptr);
    Canvas canvas(4, 4);
    frame->updateIfDirty(canvas.context);
    EXPECT_EQ(view->draws, 1);
}

TEST_F(FrameTest, WithoutAWindowTheFrameStillKeepsItsViews) {
    headlessPlatform().setWindowsAvailable(false);
    Frame windowless({0, 0, 50, 50}, fakeParent(), nullptr);
    EXPECT_EQ(windowless.window(), nullptr);
    auto* view = new RecordingView({0, 0, 5, 5});
    EXPECT_TRUE(windowless.addView(view));
    view->setNeedsRedraw(true);
    windowless.redrawView(view);
    windowless.idleUpdate();
    EXPECT_EQ(view->draws, 0);
    EXPECT_EQ(view->editor(), nullptr);

    Frame noParent({0, 0, 50, 50}, nullptr, nullptr);
    EXPECT_EQ(noParent.window(), nullptr);
}

class PumpingControl : public Control {
  public:
    PumpingControl() : Control({0, 0, 10, 10}, nullptr, 0, nullptr) {}
    void draw(DrawContext&) override {}
    // A mouse loop as the editor's controls run it.
    void trackMouse(DrawContext& context, Point& where) override {
        while (context.pollMouseButtons() != 0) {
            idleDuringTracking();
            context.pollMousePosition(where);
            path.push_back(where);
        }
    }
    std::vector<Point> path;
};

TEST_F(FrameTest, ControlsPumpTheEditorOnEveryPassOfTheirMouseLoop) {
    window().setScreenOrigin({300, 200});
    auto* control = new PumpingControl;
    frame->addView(control);
    input().push({mouse::LeftButton, {305, 205}});
    input().push({mouse::LeftButton | mouse::ShiftKey, {307, 206}});
    input().push({0, {309, 207}});
    window().press({5, 5}, mouse::LeftButton);
    EXPECT_EQ(editor.pumps, 2);
    EXPECT_EQ(control->path, (std::vector<Point>{{5, 5}, {7, 6}}));

    PumpingControl loose;
    loose.idleDuringTracking();
    EXPECT_EQ(editor.pumps, 2);
}

}  // namespace
}  // namespace tramvek::test
