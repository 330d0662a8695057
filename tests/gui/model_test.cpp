// Geometry, view and control state, reference counting and the parameter display.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui/gui_test_support.h"
#include "gui/param_display.h"

namespace tramvek::test {
namespace {

TEST(Geometry, EdgesBelongToTheRectangle) {
    const Rect r{10, 20, 30, 40};
    EXPECT_TRUE(r.contains({30, 40}));
    EXPECT_TRUE(r.contains({10, 20}));
    EXPECT_FALSE(r.contains({31, 40}));
    EXPECT_FALSE(r.contains({30, 41}));
    EXPECT_FALSE(r.contains({9, 25}));
    EXPECT_TRUE(r.overlaps({30, 40, 50, 60}));
    EXPECT_TRUE(r.overlaps({0, 0, 10, 20}));
    EXPECT_FALSE(r.overlaps({31, 20, 50, 40}));
    EXPECT_FALSE(r.overlaps({10, 41, 30, 50}));
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 20);

    View view(r);
    EXPECT_TRUE(view.contains({30, 40}));
    EXPECT_FALSE(view.contains({31, 40}));
    EXPECT_TRUE(view.overlaps({30, 0, 40, 20}));
    EXPECT_EQ(view.mouseArea(), r);
}

TEST(Geometry, ColoursIgnoreTheFourthByte) {
    EXPECT_EQ((Color{1, 2, 3, 0}).packed(), 1u + 2u * 256u + 3u * 65536u);
    EXPECT_TRUE((Color{1, 2, 3, 0}).sameRgb(Color{1, 2, 3, 99}));
    EXPECT_EQ(colors::DefaultTransparent.packed(), colors::White.packed());
    EXPECT_EQ(colors::Grey.packed(), packRgb(127, 127, 127));
}

class TestControl : public Control {
  public:
    TestControl(Bitmap* background = nullptr, ControlListener* listener = nullptr)
        : Control({0, 0, 10, 10}, listener, 7, background) {}
    void draw(DrawContext&) override { ++draws; }
    int draws = 0;
};

TEST(ControlState, ANewControlNeedsDrawingAndDrawingClearsIt) {
    TestControl control;
    EXPECT_EQ(control.value(), 0.0f);
    EXPECT_EQ(control.oldValue(), 1.0f);
    EXPECT_EQ(control.defaultValue(), 0.5f);
    EXPECT_EQ(control.wheelStep(), 0.1f);
    EXPECT_EQ(control.tag(), 7);
    EXPECT_TRUE(control.needsRedraw());
    Canvas canvas(4, 4);
    control.updateIfDirty(canvas.context);
    EXPECT_EQ(control.draws, 1);
    control.updateIfDirty(canvas.context);
    EXPECT_EQ(control.draws, 1);
    EXPECT_FALSE(control.needsRedraw());
}

TEST(ControlState, AChangedValueNeedsRedrawingWithoutTheFlag) {
    TestControl control;
    control.setNeedsRedraw(false);
    control.setValue(0.25f);
    EXPECT_TRUE(control.needsRedraw());
    control.setNeedsRedraw(false);
    EXPECT_FALSE(control.needsRedraw());
    EXPECT_EQ(control.oldValue(), 0.25f);
}

TEST(ControlState, MarkingForRedrawWorksForEveryValueIncludingMinusOne) {
    for (float v : {0.0f, 1.0f, -1.0f, 0.5f}) {
        TestControl control;
        control.setValue(v);
        control.setNeedsRedraw(false);
        ASSERT_FALSE(control.needsRedraw());
        control.setNeedsRedraw(true);
        EXPECT_TRUE(control.needsRedraw()) << v;
        EXPECT_NE(control.oldValue(), control.value()) << v;
        control.setNeedsRedraw(false);
        EXPECT_FALSE(control.needsRedraw()) << v;
    }
}

TEST(ControlState, ClampKeepsTheValueInsideItsBounds) {
    TestControl control;
    control.setMin(0.2f);
    control.setMax(0.8f);
    control.setValue(0.9f);
    EXPECT_EQ(control.value(), 0.9f);  // setValue does not clamp
    control.clampValue();
    EXPECT_EQ(control.value(), 0.8f);
    control.setValue(-3.0f);
    control.clampValue();
    EXPECT_EQ(control.value(), 0.2f);
}

TEST(ReferenceCounts, ReleaseDestroysAtZeroAndIgnoresFurtherReleases) {
    std::vector<RecordingView*> destroyed;
    auto* view = new RecordingView({0, 0, 1, 1}, &destroyed);
    view->retain();
    EXPECT_EQ(view->refCount(), 2);
    EXPECT_EQ(view->release(), 1);
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(view->release(), 0);
    EXPECT_EQ(destroyed.size(), 1u);
}

class BitmapCounts : public RasterTest {};

TEST_F(BitmapCounts, ControlsRetainTheirBackgroundAndReleaseItWhenReplacedOrDestroyed) {
    auto* first = new Bitmap(nullptr, 4, 4);
    auto* second = new Bitmap(nullptr, 4, 4);
    {
        TestControl control(first);
        EXPECT_EQ(first->refCount(), 2);
        control.setBackground(second);
        EXPECT_EQ(first->refCount(), 1);
        EXPECT_EQ(second->refCount(), 2);
        // Setting the same bitmap again must not destroy it on the way.
        control.setBackground(second);
        EXPECT_EQ(second->refCount(), 2);
        control.setBackground(nullptr);
        EXPECT_EQ(second->refCount(), 1);
        EXPECT_EQ(control.background(), nullptr);
        control.setBackground(first);
    }
    EXPECT_EQ(first->refCount(), 1);
    EXPECT_EQ(first->release(), 0);
    EXPECT_EQ(second->release(), 0);
}

TEST_F(BitmapCounts, BlankBitmapsHaveTheirSizeAndMissingResourcesAreEmpty) {
    auto* blank = new Bitmap(nullptr, 575, 90);
    EXPECT_EQ(blank->width(), 575);
    EXPECT_EQ(blank->height(), 90);
    EXPECT_TRUE(blank->isLoaded());
    blank->release();

    auto* missing = new Bitmap(4242);
    EXPECT_EQ(missing->width(), 0);
    EXPECT_EQ(missing->height(), 0);
    EXPECT_FALSE(missing->isLoaded());
    Canvas canvas(10, 10, 5);
    missing->drawBitmap(canvas.context, {0, 0, 10, 10}, {0, 0});
    missing->drawBitmapTransparent(canvas.context, {0, 0, 10, 10}, {0, 0});
    EXPECT_TRUE(changedPixels(canvas.pixels, 5).empty());
    missing->release();
}

class Display : public RasterTest {};

TEST_F(Display, WithoutConversionShowsTwoDecimalsCentredInItsBox) {
    Canvas withDefault(60, 20, 0);
    ParamDisplay display({0, 0, 59, 19}, nullptr, 0);
    display.setValue(0.5f);
    display.setTextColor(colors::White);
    display.draw(withDefault.context);
    EXPECT_FALSE(display.needsRedraw());

    // The same picture as drawing the text "0.50" by hand.
    Canvas byHand(60, 20, 0);
    byHand.context.setFillColor(colors::Black);
    byHand.context.fillInside({0, 0, 59, 19});
    byHand.context.setPenColor(colors::Black);
    byHand.context.outlineRect({0, 0, 59, 19});
    byHand.context.selectFont(3, 0, 0);
    byHand.context.setTextColor(colors::White);
    byHand.context.drawText("0.50", {0, 0, 59, 19}, false, 1);
    EXPECT_FALSE(changedPixels(byHand.pixels, 0).empty());
    EXPECT_EQ(changedPixels(withDefault.pixels, 0), changedPixels(byHand.pixels, 0));
}

char lastFormatted[ParamDisplay::TextCapacity];

void questionMark(float, char* text) {
    std::strcpy(text, "?");
}
void withData(float value, char* text, void* data) {
    std::snprintf(text, ParamDisplay::TextCapacity, "%s%d", static_cast<const char*>(data),
                  static_cast<int>(value));
    std::strcpy(lastFormatted, text);
}

TEST_F(Display, ConversionWithDataWinsOverThePlainOne) {
    Canvas plain(40, 20, 0);
    Canvas both(40, 20, 0);
    ParamDisplay questionOnly({0, 0, 39, 19}, nullptr, 0);
    questionOnly.setConversion(&questionMark);
    questionOnly.draw(plain.context);

    ParamDisplay display({0, 0, 39, 19}, nullptr, 0);
    static char prefix[] = "n";
    display.setConversion(&questionMark);
    display.setConversionWithData(&withData, prefix);
    display.setValue(3.0f);
    display.draw(both.context);
    EXPECT_EQ(std::string(lastFormatted), "n3");
    EXPECT_NE(changedPixels(both.pixels, 0), changedPixels(plain.pixels, 0));
}

TEST_F(Display, SettersMarkForRedrawOnlyOnARealChange) {
    ParamDisplay display({0, 0, 10, 10}, nullptr, 0);
    display.setNeedsRedraw(false);
    display.setTextColor(Color{255, 255, 255, 77});  // differs only in the fourth byte
    EXPECT_FALSE(display.needsRedraw());
    display.setBackColor(Color{0, 0, 0, 1});
    display.setFrameColor(Color{0, 0, 0, 1});
    display.setShadowColor(Color{255, 0, 0, 1});
    display.setFontId(3);
    display.setAlignment(1);
    EXPECT_FALSE(display.needsRedraw());
    display.setTextColor(colors::Red);
    EXPECT_TRUE(display.needsRedraw());
    display.setNeedsRedraw(false);
    display.setFontId(2);
    EXPECT_TRUE(display.needsRedraw());
    display.setNeedsRedraw(false);
    display.setStyle(display_style::BevelIn);
    EXPECT_TRUE(display.needsRedraw());
    display.setNeedsRedraw(false);
    display.setTextTransparent(false);
    display.setBackOffset({3, 3});
    EXPECT_FALSE(display.needsRedraw());
}

TEST_F(Display, NoDrawNeverDrawsAndStartsClean) {
    ParamDisplay display({0, 0, 19, 19}, nullptr, display_style::NoDraw);
    EXPECT_FALSE(display.needsRedraw());
    Canvas canvas(20, 20, 9);
    display.setValue(0.7f);
    display.draw(canvas.context);
    EXPECT_TRUE(changedPixels(canvas.pixels, 9).empty());
    EXPECT_FALSE(display.needsRedraw());
}

TEST_F(Display, NoTextDrawsOnlyTheBoxAndBevelsReplaceTheOutline) {
    ParamDisplay boxOnly({0, 0, 9, 9}, nullptr, display_style::NoText);
    boxOnly.setBackColor(colors::Green);
    boxOnly.setFrameColor(colors::Blue);
    Canvas box(12, 12, 1);
    boxOnly.draw(box.context);
    EXPECT_EQ(box.pixels.at(0, 0), colors::Blue.packed());
    EXPECT_EQ(box.pixels.at(9, 9), colors::Blue.packed());
    for (int32_t y = 1; y <= 8; ++y) {
        for (int32_t x = 1; x <= 8; ++x) {
            EXPECT_EQ(box.pixels.at(x, y), colors::Green.packed());
        }
    }

    ParamDisplay bevel({0, 0, 9, 9}, nullptr, display_style::NoText | display_style::BevelIn);
    bevel.setBackColor(colors::Green);
    bevel.setFrameColor(colors::Blue);
    Canvas bevelled(12, 12, 1);
    bevel.draw(bevelled.context);
    // Top and left in the back colour, bottom and right in the frame colour.
    EXPECT_EQ(bevelled.pixels.at(0, 5), colors::Green.packed());
    EXPECT_EQ(bevelled.pixels.at(5, 0), colors::Green.packed());
    EXPECT_EQ(bevelled.pixels.at(9, 0), colors::Green.packed());
    EXPECT_EQ(bevelled.pixels.at(0, 9), colors::Green.packed());
    EXPECT_EQ(bevelled.pixels.at(9, 5), colors::Blue.packed());
    EXPECT_EQ(bevelled.pixels.at(5, 9), colors::Blue.packed());
    EXPECT_EQ(bevelled.pixels.at(10, 0), 1u);

    ParamDisplay outward({0, 0, 9, 9}, nullptr, display_style::NoText | display_style::BevelOut);
    outward.setBackColor(colors::Green);
    outward.setFrameColor(colors::Blue);
    Canvas out(12, 12, 1);
    outward.draw(out.context);
    EXPECT_EQ(out.pixels.at(0, 5), colors::Blue.packed());
    EXPECT_EQ(out.pixels.at(9, 5), colors::Green.packed());
}

TEST_F(Display, ShadowTextIsDrawnFirstOnePixelDownRight) {
    ParamDisplay display({0, 0, 39, 19}, nullptr, display_style::ShadowText);
    display.setConversion(&questionMark);
    display.setTextColor(colors::White);
    display.setShadowColor(colors::Red);
    Canvas canvas(41, 21, 0);
    display.draw(canvas.context);
    bool redShadow = false;
    for (const Point& p : changedPixels(canvas.pixels, 0)) {
        const Color c = canvas.pixels.color(p.x, p.y);
        redShadow = redShadow || (c.red > 100 && c.green < c.red / 2);
    }
    EXPECT_TRUE(redShadow);
}

}  // namespace
}  // namespace tramvek::test
