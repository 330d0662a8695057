// Pixel coverage of the drawing primitives on the raster back end.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "gui/bitmap.h"
#include "gui/gui_test_support.h"
#include "gui/offscreen_context.h"
#include "gui/raster/raster_image.h"

namespace tramvek::test {
namespace {

constexpr uint32_t Blank = packRgb(10, 20, 30);
const uint32_t White = colors::White.packed();
const uint32_t Red = colors::Red.packed();

std::set<std::pair<int32_t, int32_t>> asSet(const std::vector<Point>& points) {
    std::set<std::pair<int32_t, int32_t>> result;
    for (const Point& p : points) {
        result.insert({p.x, p.y});
    }
    return result;
}

using PixelRules = RasterTest;

TEST_F(PixelRules, OutlineAndFillOfOneRectangleCoverItExactly) {
    Canvas outline(8, 6, Blank);
    outline.context.setPenColor(colors::Red);
    outline.context.outlineRect({0, 0, 4, 2});
    std::set<std::pair<int32_t, int32_t>> expected;
    for (int32_t x = 0; x <= 4; ++x) {
        expected.insert({x, 0});
        expected.insert({x, 2});
    }
    for (int32_t y = 0; y <= 2; ++y) {
        expected.insert({0, y});
        expected.insert({4, y});
    }
    EXPECT_EQ(asSet(changedPixels(outline.pixels, Blank)), expected);
    EXPECT_EQ(outline.pixels.at(4, 2), Red);

    Canvas fill(8, 6, Blank);
    fill.context.setFillColor(colors::Green);
    fill.context.fillInside({0, 0, 4, 2});
    EXPECT_EQ(asSet(changedPixels(fill.pixels, Blank)),
              (std::set<std::pair<int32_t, int32_t>>{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(fill.pixels.at(1, 1), colors::Green.packed());
}

TEST_F(PixelRules, FillInsideOfNarrowOrFlatRectanglesFillsNothing) {
    const Rect degenerate[] = {{2, 2, 3, 9}, {2, 2, 9, 3}, {2, 2, 2, 9}, {5, 5, 4, 9}, {3, 3, 3, 3}};
    for (const Rect& r : degenerate) {
        Canvas canvas(12, 12, Blank);
        canvas.context.setFillColor(colors::Yellow);
        canvas.context.fillInside(r);
        EXPECT_TRUE(changedPixels(canvas.pixels, Blank).empty()) << r.left << "," << r.top << "-" << r.right;
    }
    Canvas smallest(12, 12, Blank);
    smallest.context.fillInside({2, 2, 4, 4});
    EXPECT_EQ(changedPixels(smallest.pixels, Blank), (std::vector<Point>{{3, 3}}));
}

TEST_F(PixelRules, LinesLeaveOutTheirEndPixel) {
    Canvas horizontal(10, 4, Blank);
    horizontal.context.moveTo({1, 1});
    horizontal.context.lineTo({5, 1});
    EXPECT_EQ(changedPixels(horizontal.pixels, Blank), (std::vector<Point>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));

    Canvas backwards(10, 4, Blank);
    backwards.context.moveTo({5, 2});
    backwards.context.lineTo({1, 2});
    EXPECT_EQ(changedPixels(backwards.pixels, Blank), (std::vector<Point>{{2, 2}, {3, 2}, {4, 2}, {5, 2}}));

    Canvas diagonal(10, 10, Blank);
    diagonal.context.moveTo({0, 0});
    diagonal.context.lineTo({4, 4});
    EXPECT_EQ(changedPixels(diagonal.pixels, Blank), (std::vector<Point>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));

    // A shallow line steps once per column and never reaches its end point.
    Canvas shallow(12, 6, Blank);
    shallow.context.moveTo({0, 0});
    shallow.context.lineTo({8, 3});
    const std::vector<Point> pixels = changedPixels(shallow.pixels, Blank);
    EXPECT_EQ(pixels.size(), 8u);
    EXPECT_EQ(std::count_if(pixels.begin(), pixels.end(), [](Point p) { return p.x == 8; }), 0);
    EXPECT_EQ(shallow.pixels.at(0, 0), White);

    Canvas point(4, 4, Blank);
    point.context.moveTo({2, 2});
    point.context.lineTo({2, 2});
    EXPECT_TRUE(changedPixels(point.pixels, Blank).empty());
}

TEST_F(PixelRules, DottedPenLeavesGaps) {
    Canvas canvas(20, 3, Blank);
    canvas.context.setLineStyle(1);
    canvas.context.moveTo({0, 1});
    canvas.context.lineTo({12, 1});
    EXPECT_EQ(changedPixels(canvas.pixels, Blank),
              (std::vector<Point>{{0, 1}, {1, 1}, {2, 1}, {6, 1}, {7, 1}, {8, 1}}));
}

TEST_F(PixelRules, FontIdsOutsideTheTableSelectTheBoldDefault) {
    Canvas canvas(4, 4);
    canvas.context.selectFont(9, 0, 0);
    EXPECT_EQ(canvas.context.fontId(), 0);
    EXPECT_EQ(canvas.context.fontSize(), 12);
    const FontRequest fallback = fontRequest(9, 0, 0);
    const FontRequest first = fontRequest(0, 0, 0);
    EXPECT_TRUE(fallback.bold);
    EXPECT_EQ(std::string(fallback.face), std::string(first.face));
    EXPECT_EQ(fallback.height, first.height);
    EXPECT_EQ(fontRequest(-1, 0, 0).height, 12);
    EXPECT_EQ(fontRequest(7, 0, 0).height, 13);
    EXPECT_TRUE(fontRequest(7, 0, 0).decorative);
    EXPECT_FALSE(fontRequest(3, 0, 0).bold);
    EXPECT_TRUE(fontRequest(3, 0, font_style::Bold).bold);
    EXPECT_EQ(fontRequest(6, 20, 0).height, 20);

    // The fallback draws exactly like font 0.
    Canvas viaFallback(60, 20, Blank);
    Canvas viaZero(60, 20, Blank);
    viaFallback.context.selectFont(9, 0, 0);
    viaZero.context.selectFont(0, 0, 0);
    viaFallback.context.drawText("Abc", {0, 0, 60, 20}, false, 1);
    viaZero.context.drawText("Abc", {0, 0, 60, 20}, false, 1);
    EXPECT_FALSE(changedPixels(viaZero.pixels, Blank).empty());
    EXPECT_EQ(changedPixels(viaFallback.pixels, Blank), changedPixels(viaZero.pixels, Blank));
}

TEST_F(PixelRules, LeftAlignedTextStartsOnePixelInFromLeft) {
    // Opaque text shows its cell: it must begin at left + 1, not at left.
    Canvas canvas(80, 20, Blank);
    canvas.context.selectFont(3, 0, 0);
    canvas.context.setFillColor(colors::Yellow);
    canvas.context.drawText("Hello", {10, 0, 70, 20}, true, 0);
    const std::optional<Rect> box = inkBox(canvas.pixels, Blank);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->left, 11);
    int cellPixelsInFirstColumn = 0;
    for (int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(canvas.pixels.at(10, y), Blank);
        cellPixelsInFirstColumn += canvas.pixels.at(11, y) == colors::Yellow.packed() ? 1 : 0;
    }
    EXPECT_GT(cellPixelsInFirstColumn, 0);
}

TEST_F(PixelRules, TextIsClippedToItsRectangleWithoutRightAndBottomEdges) {
    Canvas canvas(100, 40, Blank);
    canvas.context.selectFont(1, 0, 0);
    canvas.context.setFillColor(colors::Blue);
    const Rect area{20, 10, 40, 22};
    canvas.context.drawText("WWWWWWWW", area, true, 1);
    const std::optional<Rect> box = inkBox(canvas.pixels, Blank);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(*box, (Rect{20, 10, 39, 21}));
}

TEST_F(PixelRules, AlignmentCentresOrRightAlignsAndCentresVertically) {
    const Rect area{0, 0, 120, 30};
    Canvas centred(120, 30, Blank);
    centred.context.selectFont(2, 0, 0);
    centred.context.drawText("Mid", area, false, 1);
    const std::optional<Rect> centreBox = inkBox(centred.pixels, Blank);
    ASSERT_TRUE(centreBox.has_value());
    EXPECT_NEAR(centreBox->left, 119 - centreBox->right, 3);
    EXPECT_NEAR(centreBox->top, 29 - centreBox->bottom, 4);

    Canvas right(120, 30, Blank);
    right.context.selectFont(2, 0, 0);
    right.context.drawText("Mid", area, false, 2);
    const std::optional<Rect> rightBox = inkBox(right.pixels, Blank);
    ASSERT_TRUE(rightBox.has_value());
    EXPECT_LT(rightBox->right, 120);
    EXPECT_GT(rightBox->right, 114);
    EXPECT_EQ(rightBox->top, centreBox->top);
}

TEST_F(PixelRules, TransparentTextKeepsTheBackgroundOpaqueTextFillsItsCell) {
    Canvas transparent(60, 20, Blank);
    transparent.context.setTextColor(colors::Black);
    transparent.context.setFillColor(colors::Green);
    transparent.context.drawText("i", {0, 0, 60, 20}, false, 0);
    for (const Point& p : changedPixels(transparent.pixels, Blank)) {
        EXPECT_NE(transparent.pixels.at(p.x, p.y), colors::Green.packed());
    }

    Canvas opaque(60, 20, Blank);
    opaque.context.setTextColor(colors::Black);
    opaque.context.setFillColor(colors::Green);
    opaque.context.drawText("i", {0, 0, 60, 20}, true, 0);
    int greens = 0;
    for (const Point& p : changedPixels(opaque.pixels, Blank)) {
        greens += opaque.pixels.at(p.x, p.y) == colors::Green.packed() ? 1 : 0;
    }
    EXPECT_GT(greens, 10);
    // Outside the cell nothing changes: the cell is only as wide as the text.
    EXPECT_EQ(opaque.pixels.at(30, 10), Blank);
}

TEST_F(PixelRules, SymbolFontShowsGreekLetters) {
    Canvas latin(40, 20, Blank);
    Canvas symbol(40, 20, Blank);
    latin.context.selectFont(3, 13, 0);
    symbol.context.selectFont(7, 0, 0);
    latin.context.drawText("p", {0, 0, 40, 20}, false, 0);
    symbol.context.drawText("p", {0, 0, 40, 20}, false, 0);
    EXPECT_FALSE(changedPixels(symbol.pixels, Blank).empty());
    EXPECT_NE(changedPixels(symbol.pixels, Blank), changedPixels(latin.pixels, Blank));
}

TEST_F(PixelRules, OffscreenWithoutTemplateIsBlackInsideAndBlitsOnlyTheDestinationWidth) {
    Canvas window(40, 40, Blank);
    OffscreenContext offscreen(window.context, nullptr, false);
    EXPECT_EQ(offscreen.width(), 20);
    EXPECT_EQ(offscreen.height(), 20);
    offscreen.setFillColor(colors::Red);
    offscreen.fillInside({4, -1, 20, 20});
    // A 3-pixel-wide, 2-pixel-high destination: only that much arrives.
    offscreen.blitTo(window.context, {10, 10, 13, 12}, {4, 4});
    EXPECT_EQ(changedPixels(window.pixels, Blank),
              (std::vector<Point>{{10, 10}, {11, 10}, {12, 10}, {10, 11}, {11, 11}, {12, 11}}));
    EXPECT_EQ(window.pixels.at(10, 10), packRgb(0, 0, 0));
    EXPECT_EQ(window.pixels.at(11, 10), Red);

    // The blank surface is black where fillInside reached it.
    Canvas copy(40, 40, Blank);
    OffscreenContext fresh(copy.context, nullptr, false);
    fresh.blitTo(copy.context, {0, 0, 20, 20}, {0, 0});
    EXPECT_EQ(copy.pixels.at(1, 1), packRgb(0, 0, 0));
    EXPECT_EQ(copy.pixels.at(19, 19), packRgb(0, 0, 0));
}

// A bitmap of known pixels without a resource: a blank one painted through an
// offscreen context that draws straight into it.
Bitmap* paintedBitmap(DrawContext& parent, int32_t width, int32_t height, uint32_t fill,
                      const Rect& redPart) {
    auto* bitmap = new Bitmap(nullptr, width, height);
    auto& pixels = static_cast<RasterImage*>(bitmap->image())->pixels();
    pixels.fill({0, 0, width, height}, fill);
    OffscreenContext into(parent, bitmap, true);
    into.setFillColor(colors::Red);
    into.fillInside(redPart);
    return bitmap;
}

TEST_F(PixelRules, OffscreenCopiesItsTemplateAndCanDrawIntoIt) {
    Canvas window(30, 30, Blank);
    Bitmap* bitmap = paintedBitmap(window.context, 6, 4, White, {0, 0, 3, 3});
    const PixelBuffer& bitmapPixels = static_cast<RasterImage*>(bitmap->image())->pixels();
    EXPECT_EQ(bitmapPixels.at(1, 1), Red);
    EXPECT_EQ(bitmapPixels.at(3, 1), White);

    OffscreenContext copy(window.context, bitmap, false);
    EXPECT_EQ(copy.width(), 6);
    EXPECT_EQ(copy.height(), 4);
    copy.setFillColor(colors::Blue);
    copy.fillInside({3, 0, 6, 3});
    copy.blitTo(window.context, {0, 0, 6, 4}, {0, 0});
    EXPECT_EQ(window.pixels.at(1, 1), Red);
    EXPECT_EQ(window.pixels.at(4, 1), colors::Blue.packed());
    EXPECT_EQ(window.pixels.at(0, 0), White);
    // Drawing into the copy left the bitmap alone.
    EXPECT_EQ(bitmapPixels.at(4, 1), White);
    bitmap->release();
}

TEST_F(PixelRules, TransparentCopiesKeepTheDestinationUnderTheTransparentColour) {
    Canvas window(20, 20, Blank);
    Bitmap* bitmap = paintedBitmap(window.context, 5, 5, White, {0, 0, 4, 4});
    bitmap->drawBitmapTransparent(window.context, {2, 2, 7, 7}, {0, 0});
    EXPECT_EQ(changedPixels(window.pixels, Blank),
              (std::vector<Point>{{3, 3}, {4, 3}, {5, 3}, {3, 4}, {4, 4}, {5, 4}, {3, 5}, {4, 5}, {5, 5}}));

    // Another transparent colour takes effect (the old mask is not reused).
    bitmap->setTransparentColor(colors::Red);
    Canvas second(20, 20, Blank);
    bitmap->drawBitmapTransparent(second.context, {0, 0, 5, 5}, {0, 0});
    EXPECT_EQ(second.pixels.at(0, 0), White);
    EXPECT_EQ(second.pixels.at(1, 1), Blank);

    // The plain copy copies everything.
    Canvas plain(20, 20, Blank);
    bitmap->drawBitmap(plain.context, {0, 0, 5, 5}, {0, 0});
    EXPECT_EQ(changedPixels(plain.pixels, Blank).size(), 25u);
    bitmap->release();
}

}  // namespace
}  // namespace tramvek::test
