#include <gtest/gtest.h>

#include <tuple>

#include "gui/bitmap.h"
#include "gui/offscreen_context.h"
#include "gui/raster/bmp_decoder.h"
#include "win32_test_support.h"

namespace tramvek::test {
namespace {

constexpr uint32_t kBlack = packRgb(0, 0, 0);
constexpr uint32_t kWhite = packRgb(255, 255, 255);
constexpr uint32_t kRed = packRgb(255, 0, 0);

std::vector<Point> pixelsOf(const PixelBuffer& pixels, uint32_t value) {
    std::vector<Point> found;
    for (int32_t y = 0; y < pixels.height(); ++y) {
        for (int32_t x = 0; x < pixels.width(); ++x) {
            if (pixels.at(x, y) == value) {
                found.push_back({x, y});
            }
        }
    }
    return found;
}

TEST(GdiShapes, OutlineAndFillInsideOfOneRectangleCoverItExactly) {
    GdiCanvas canvas(8, 6, colors::Black);
    canvas.context.outlineRect({0, 0, 4, 2});  // the default pen is white
    const std::vector<Point> outline = pixelsOf(canvas.pixels(), kWhite);
    std::vector<Point> expected;
    for (int32_t y = 0; y <= 2; ++y) {
        for (int32_t x = 0; x <= 4; ++x) {
            if (x == 0 || x == 4 || y == 0 || y == 2) {
                expected.push_back({x, y});
            }
        }
    }
    EXPECT_EQ(outline, expected);

    canvas.context.setFillColor(colors::Red);
    canvas.context.fillInside({0, 0, 4, 2});
    EXPECT_EQ(pixelsOf(canvas.pixels(), kRed), (std::vector<Point>{{1, 1}, {2, 1}, {3, 1}}));
}

TEST(GdiShapes, FillInsideOfNarrowOrFlatRectanglesFillsNothing) {
    GdiCanvas canvas(10, 10, colors::Black);
    canvas.context.setFillColor(colors::Red);
    for (const Rect& r :
         {Rect{2, 2, 3, 8}, Rect{2, 2, 8, 3}, Rect{5, 5, 5, 5}, Rect{6, 6, 2, 2}, Rect{4, 1, 2, 9}}) {
        canvas.context.fillInside(r);
    }
    EXPECT_TRUE(pixelsOf(canvas.pixels(), kRed).empty());
}

TEST(GdiText, FontIdOutsideTheTableSelectsBoldFontZero) {
    auto textWith = [](FontId id) {
        GdiCanvas canvas(60, 20, colors::Black);
        canvas.context.selectFont(id, 0, 0);
        canvas.context.drawText("Hello", {0, 0, 60, 20}, false, 0);
        return canvas.pixels();
    };
    const PixelBuffer outside = textWith(9);
    EXPECT_EQ(differences(outside, textWith(0)), "");
    EXPECT_NE(differences(outside, textWith(3)), "") << "bold and regular 12-pixel text look alike";
    EXPECT_TRUE(inkBox(outside, kBlack).has_value());
}

TEST(GdiText, LeftAlignedTextStartsOnePixelInFromLeft) {
    GdiCanvas toolkit(60, 20, colors::Black);
    toolkit.context.selectFont(3, 0, 0);
    toolkit.context.drawText("Hello", {10, 0, 60, 20}, false, 0);

    GdiCanvas direct(60, 20, colors::Black);
    direct.context.selectFont(3, 0, 0);
    RECT area{11, 0, 60, 20};
    SetTextColor(dcOf(*direct.surface), RGB(255, 255, 255));
    DrawTextA(dcOf(*direct.surface), "Hello", 5, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    EXPECT_EQ(differences(toolkit.pixels(), direct.pixels()), "");
}

TEST(GdiText, TextIsClippedToItsRectangleWithoutRightAndBottomEdges) {
    GdiCanvas canvas(60, 30, colors::Black);
    canvas.context.selectFont(1, 0, 0);
    const Rect box{5, 10, 25, 20};
    canvas.context.drawText("WWWWWWWW", box, false, 0);
    const auto ink = inkBox(canvas.pixels(), kBlack);
    ASSERT_TRUE(ink.has_value());
    EXPECT_GE(ink->left, box.left + 1);
    EXPECT_GE(ink->top, box.top);
    EXPECT_EQ(ink->right, box.right - 1) << "text wider than its box reaches the last column inside";
    EXPECT_LE(ink->bottom, box.bottom - 1);
}

TEST(GdiText, OpaqueTextFillsItsBackgroundTransparentTextDoesNot) {
    auto draw = [](bool opaque) {
        GdiCanvas canvas(80, 20, colors::Black);
        canvas.context.setFillColor(colors::Blue);
        canvas.context.setTextColor(colors::Yellow);
        canvas.context.selectFont(3, 0, 0);
        canvas.context.drawText("ab", {0, 0, 80, 20}, opaque, 1);
        return canvas.pixels();
    };
    EXPECT_FALSE(pixelsOf(draw(true), packRgb(0, 0, 255)).empty());
    EXPECT_TRUE(pixelsOf(draw(false), packRgb(0, 0, 255)).empty());
}

TEST(GdiOffscreen, NarrowBlitCopiesOnlyItsWidth) {
    GdiCanvas target(30, 20, colors::Black);
    {
        OffscreenContext offscreen(target.context, nullptr, false);
        ASSERT_EQ(offscreen.width(), 20);
        offscreen.setFillColor(colors::Green);
        offscreen.fillInside({-1, -1, 20, 20});
        offscreen.blitTo(target.context, {4, 2, 9, 22}, {0, 0});
    }
    const auto ink = inkBox(target.pixels(), kBlack);
    ASSERT_TRUE(ink.has_value());
    EXPECT_EQ(*ink, (Rect{4, 2, 8, 19}));
}

TEST(GdiBitmaps, TransparentCopyLeavesTheDestinationWhereTheBitmapHasTheTransparentColour) {
    GdiCanvas target(12, 12, colors::Black);
    auto* bitmap = new Bitmap(nullptr, 6, 6);
    {
        OffscreenContext painter(target.context, bitmap, true);
        painter.setFillColor(colors::White);
        painter.fillInside({-1, -1, 6, 6});
        painter.setFillColor(colors::Magenta);
        painter.fillInside({0, 0, 3, 6});  // columns 1..2, rows 1..5
    }
    bitmap->drawBitmapTransparent(target.context, {2, 2, 8, 8}, {0, 0});
    EXPECT_EQ(pixelsOf(target.pixels(), kWhite).size(), 0U);
    const auto magenta = pixelsOf(target.pixels(), packRgb(255, 0, 255));
    EXPECT_EQ(magenta.size(), 10U);
    EXPECT_EQ(*inkBox(target.pixels(), kBlack), (Rect{3, 3, 4, 7}));

    // The bitmap itself is unchanged by the transparent copy.
    bitmap->drawBitmap(target.context, {2, 2, 8, 8}, {0, 0});
    EXPECT_EQ(pixelsOf(target.pixels(), kWhite).size(), 26U);
    bitmap->release();
}

TEST(GdiBitmaps, ResourcesLoadByNumberWithTheirPixels) {
    for (auto [id, width, height] : {std::tuple{128, 590, 331}, {133, 580, 322}}) {
        auto* bitmap = new Bitmap(id);
        EXPECT_EQ(bitmap->width(), width);
        EXPECT_EQ(bitmap->height(), height);
        const std::optional<PixelBuffer> decoded = decodeBmp(resourceBitmapFile(id));
        ASSERT_TRUE(decoded.has_value()) << id;
        EXPECT_EQ(bitmap->width(), decoded->width());
        EXPECT_EQ(bitmap->height(), decoded->height());
        GdiCanvas canvas(bitmap->width(), bitmap->height());
        bitmap->drawBitmap(canvas.context, {0, 0, bitmap->width(), bitmap->height()}, {0, 0});
        EXPECT_EQ(differences(canvas.pixels(), *decoded), "") << id;
        bitmap->release();
    }

    auto* missing = new Bitmap(129);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->width(), 0);
    EXPECT_EQ(missing->height(), 0);
    GdiCanvas canvas(4, 4, colors::Black);
    missing->drawBitmap(canvas.context, {0, 0, 4, 4}, {0, 0});
    EXPECT_FALSE(inkBox(canvas.pixels(), kBlack).has_value());
    missing->release();
}

}  // namespace
}  // namespace tramvek::test
