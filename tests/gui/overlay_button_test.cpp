// The help overlay button driven by scripted presses.
#include <gtest/gtest.h>

#include <memory>

#include "gui/bitmap.h"
#include "gui/control_listener.h"
#include "gui/gui_test_support.h"
#include "gui/overlay_button.h"
#include "gui/raster/raster_image.h"

namespace tramvek::test {
namespace {

class CountingListener : public ControlListener {
  public:
    void valueChanged(DrawContext&, Control* control) override {
        ++calls;
        lastValue = control->value();
    }
    int calls = 0;
    float lastValue = -5.0f;
};

const Rect ButtonBounds{50, 40, 60, 50};
const Rect Display{5, 5, 85, 65};
const uint32_t Backdrop = packRgb(200, 100, 50);
const uint32_t Picture = colors::Magenta.packed();

class OverlayTest : public RasterTest {
  protected:
    void SetUp() override {
        RasterTest::SetUp();
        frame = std::make_unique<Frame>(Rect{0, 0, 90, 70}, fakeParent(), nullptr);
        auto* backdrop = new Bitmap(nullptr, 90, 70);
        static_cast<RasterImage*>(backdrop->image())->pixels().fill({0, 0, 90, 70}, Backdrop);
        frame->setBackground(backdrop);
        backdrop->release();
        underneath = new RecordingView({0, 0, 90, 70});
        frame->addView(underneath);
        auto* picture = new Bitmap(nullptr, 80, 60);
        static_cast<RasterImage*>(picture->image())->pixels().fill({0, 0, 80, 60}, Picture);
        button = new OverlayButton(ButtonBounds, &listener, 0, picture, Display, {0, 0});
        picture->release();
        frame->addView(button);
        window().paintPendingArea();
    }
    void TearDown() override {
        frame.reset();
        RasterTest::TearDown();
    }
    HeadlessWindow& window() { return headlessWindow(*frame); }
    // A press whose button state is the next poll; steps nobody polled are dropped.
    void pressWith(MouseButtons buttons, Point where) {
        input().clear();
        input().push({buttons, where});
        window().press(where, buttons);
    }

    CountingListener listener;
    std::unique_ptr<Frame> frame;
    RecordingView* underneath = nullptr;
    OverlayButton* button = nullptr;
};

TEST_F(OverlayTest, ALeftPressShowsThePictureAsTheModalView) {
    EXPECT_EQ(window().pixels().at(10, 10), Backdrop);
    pressWith(mouse::LeftButton, {55, 45});
    EXPECT_EQ(button->value(), 1.0f);
    EXPECT_EQ(frame->modalView(), button);
    EXPECT_EQ(button->bounds(), Display);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.lastValue, 1.0f);
    EXPECT_EQ(underneath->presses, 0);
    const std::optional<Rect> shown = inkBox(window().pixels(), Backdrop);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(*shown, (Rect{5, 5, 84, 64}));
    EXPECT_EQ(window().pixels().at(5, 5), Picture);
    EXPECT_TRUE(button->needsRedraw());
}

TEST_F(OverlayTest, RightAndMiddlePressesDoNothing) {
    pressWith(mouse::RightButton, {55, 45});
    pressWith(mouse::MiddleButton, {55, 45});
    EXPECT_EQ(button->value(), 0.0f);
    EXPECT_EQ(frame->modalView(), nullptr);
    EXPECT_EQ(listener.calls, 0);
    EXPECT_EQ(underneath->presses, 0);
    EXPECT_TRUE(changedPixels(window().pixels(), Backdrop).empty());

    button->setMouseEnabled(false);
    pressWith(mouse::LeftButton, {55, 45});
    EXPECT_EQ(button->value(), 0.0f);
    EXPECT_EQ(underneath->presses, 1);  // the disabled button lets the press through
}

TEST_F(OverlayTest, WhileShownPressesOutsideDoNothingAndASecondLeftPressRestoresAll) {
    pressWith(mouse::LeftButton, {55, 45});
    const int drawsWhileShown = underneath->draws;

    pressWith(mouse::LeftButton, {87, 67});  // outside the display rectangle
    EXPECT_EQ(button->value(), 1.0f);
    EXPECT_EQ(input().pollCount(), 0);
    EXPECT_EQ(underneath->presses, 0);

    pressWith(mouse::RightButton, {10, 10});
    EXPECT_EQ(button->value(), 1.0f);

    pressWith(mouse::LeftButton, {10, 10});  // inside, far from the original button
    EXPECT_EQ(button->value(), 0.0f);
    EXPECT_EQ(frame->modalView(), nullptr);
    EXPECT_EQ(button->bounds(), ButtonBounds);
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(listener.lastValue, 0.0f);
    EXPECT_EQ(underneath->draws, drawsWhileShown + 1);
    EXPECT_TRUE(changedPixels(window().pixels(), Backdrop).empty());
}

TEST_F(OverlayTest, IdleWhileShownRedrawsOnlyTheOverlay) {
    pressWith(mouse::LeftButton, {55, 45});
    const int before = underneath->draws;
    underneath->setNeedsRedraw(true);
    window().pixels().fill({0, 0, 90, 70}, 0);
    frame->idleUpdate();
    EXPECT_EQ(underneath->draws, before);
    EXPECT_EQ(window().pixels().at(6, 6), Picture);
    EXPECT_EQ(window().pixels().at(2, 2), 0u);
}

TEST_F(OverlayTest, WithoutAFrameTheButtonStaysPutAndKeepsItsBounds) {
    auto* picture = new Bitmap(nullptr, 8, 8);
    OverlayButton loose(ButtonBounds, &listener, 0, picture, Display, {0, 0});
    picture->release();
    Canvas canvas(90, 70, 0);
    input().push({mouse::LeftButton, {55, 45}});
    Point where{55, 45};
    loose.trackMouse(canvas.context, where);
    EXPECT_EQ(loose.value(), 1.0f);
    EXPECT_EQ(loose.bounds(), ButtonBounds);
    EXPECT_TRUE(loose.needsRedraw());
    EXPECT_EQ(listener.calls, 0);

    // Switching off must not move it to an empty rectangle it never had.
    input().push({mouse::LeftButton, {55, 45}});
    loose.trackMouse(canvas.context, where);
    EXPECT_EQ(loose.value(), 0.0f);
    EXPECT_EQ(loose.bounds(), ButtonBounds);
}

TEST_F(OverlayTest, RefusedWhileAnotherViewIsModal) {
    RecordingView other({0, 0, 90, 70});
    other.retain();
    frame->setModalView(&other);
    Canvas canvas(90, 70, 0);
    input().push({mouse::LeftButton, {55, 45}});
    Point where{55, 45};
    button->trackMouse(canvas.context, where);
    EXPECT_EQ(button->value(), 1.0f);
    EXPECT_EQ(frame->modalView(), &other);
    EXPECT_EQ(button->bounds(), ButtonBounds);
    EXPECT_EQ(listener.calls, 0);
    frame->setModalView(nullptr);
}

}  // namespace
}  // namespace tramvek::test
