// The same scenes drawn through GDI and through the raster rules must give the
// same pixels: this is what lets the native tests of the raster back end speak
// for the Windows build.
#include <gtest/gtest.h>

#include "gui/raster/bmp_decoder.h"
#include "gui/raster/raster_image.h"
#include "win32_test_support.h"

namespace tramvek::test {
namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 180;

void clear(DrawContext& context, Color color, int32_t width, int32_t height) {
    context.setFillColor(color);
    context.fillInside({-1, -1, width, height});
}

// Lines from one centre to every fifth point of a square around it: all eight
// octants, the diagonals and the half-way slopes where the rounding ties.
void drawLineStar(DrawContext& context, Point centre, int32_t radius) {
    const Color inks[] = {colors::Red,     colors::Green, colors::Blue,  colors::Yellow,
                          colors::Magenta, colors::Cyan,  colors::White, colors::Grey};
    int ink = 0;
    for (int32_t step = -radius; step < radius; step += 5) {
        for (const Point end :
             {Point{centre.x + radius, centre.y + step}, Point{centre.x - step, centre.y + radius},
              Point{centre.x - radius, centre.y - step}, Point{centre.x + step, centre.y - radius}}) {
            context.setPenColor(inks[ink++ % 8]);
            context.moveTo(centre);
            context.lineTo(end);
        }
    }
}

void drawShapes(DrawContext& context) {
    clear(context, colors::Black, kWidth, kHeight);
    drawLineStar(context, {60, 60}, 50);
    context.setPenColor({200, 100, 50, 99});
    context.outlineRect({130, 10, 230, 60});
    context.setFillColor({10, 120, 240, 0});
    context.fillInside({130, 10, 230, 60});
    context.setFillColor(colors::Yellow);
    for (const Rect& r : {Rect{140, 70, 141, 100}, Rect{150, 70, 180, 71}, Rect{190, 80, 185, 90},
                          Rect{135, 105, 160, 140}}) {
        context.fillInside(r);
        context.outlineRect(r);
    }
    context.setPenColor(colors::Cyan);
    context.moveTo({10, 150});
    context.lineTo({10, 150});  // a line of no length draws nothing
    context.lineTo({120, 170});
    context.lineTo({230, 150});
}

void drawDottedShapes(DrawContext& context) {
    clear(context, colors::Black, kWidth, kHeight);
    context.setLineStyle(1);
    context.setPenColor(colors::White);
    context.outlineRect({10, 10, 100, 60});
    context.moveTo({120, 20});
    context.lineTo({230, 20});
    context.moveTo({120, 30});
    context.lineTo({230, 90});
    context.lineTo({125, 170});
    drawLineStar(context, {60, 120}, 40);
}

TEST(BackendAgreement, OutlinesFillsAndLinesInEveryDirection) {
    GdiCanvas gdi(kWidth, kHeight);
    RasterCanvas raster(kWidth, kHeight);
    drawShapes(gdi.context);
    drawShapes(raster.context);
    EXPECT_EQ(differences(gdi.pixels(), raster.pixels), "");
}

TEST(BackendAgreement, DottedLines) {
    GdiCanvas gdi(kWidth, kHeight);
    RasterCanvas raster(kWidth, kHeight);
    drawDottedShapes(gdi.context);
    drawDottedShapes(raster.context);
    EXPECT_EQ(differences(gdi.pixels(), raster.pixels), "");
}

// A small picture with the transparent colour (white) around a cross.
void drawSprite(DrawContext& context) {
    clear(context, colors::White, 16, 16);
    context.setFillColor(colors::Magenta);
    context.fillInside({5, -1, 10, 16});
    context.fillInside({-1, 5, 16, 10});
    context.setPenColor({1, 2, 3, 0});
    context.outlineRect({0, 0, 15, 15});
}

PixelBuffer maskOf(const PixelBuffer& image, uint32_t transparent) {
    PixelBuffer mask(image.width(), image.height());
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            mask.at(x, y) = image.at(x, y) == transparent ? packRgb(255, 255, 255) : 0;
        }
    }
    return mask;
}

struct SceneImages {
    PlatformImage& picture;
    PlatformImage& sprite;
    const PlatformImage& mask;
    Surface& scratch;  // a 40 x 30 surface of the same back end
    DrawContext& scratchContext;
};

void drawImageScene(DrawContext& context, SceneImages& images) {
    Surface& target = *context.surface();
    clear(context, colors::Grey, kWidth, kHeight);
    target.drawImage({0, 0}, 200, 120, images.picture, {390, 211});  // the name and the bevelled corner
    target.drawImage({205, 0}, 30, 30, images.picture, {0, 0});
    target.drawImageTransparent({10, 125}, 16, 16, images.sprite, {0, 0}, images.mask);
    target.drawImageTransparent({40, 125}, 10, 12, images.sprite, {4, 2}, images.mask);

    clear(images.scratchContext, colors::Blue, 40, 30);
    images.scratchContext.setPenColor(colors::Yellow);
    images.scratchContext.outlineRect({2, 2, 37, 27});
    images.scratchContext.moveTo({0, 29});
    images.scratchContext.lineTo({39, 0});
    target.blockCopy({100, 125}, 40, 30, images.scratch, {0, 0});
    target.blockCopy({150, 125}, 12, 30, images.scratch, {20, 0});   // narrower than the source
    target.blockCopy({170, 125}, 40, 30, images.scratch, {10, 10});  // reaching past the source's edge
}

TEST(BackendAgreement, PicturesBlockCopiesAndTransparentCopies) {
    const std::optional<PixelBuffer> background = decodeBmp(resourceBitmapFile(128));
    ASSERT_TRUE(background.has_value());

    GdiCanvas gdi(kWidth, kHeight);
    const std::unique_ptr<PlatformImage> gdiPicture = platform().loadBitmapResource(128);
    ASSERT_NE(gdiPicture, nullptr);
    GdiCanvas gdiSprite(16, 16);
    drawSprite(gdiSprite.context);
    gdiSprite.surface.reset();  // GDI uses an image only while no other surface holds it
    const std::unique_ptr<PlatformImage> gdiMask = platform().createMask(*gdiSprite.image, colors::White);
    GdiCanvas gdiScratch(40, 30);
    SceneImages gdiImages{*gdiPicture, *gdiSprite.image, *gdiMask, *gdiScratch.surface, gdiScratch.context};
    drawImageScene(gdi.context, gdiImages);

    RasterCanvas raster(kWidth, kHeight);
    RasterImage rasterPicture(*background);
    RasterCanvas rasterSprite(16, 16);
    drawSprite(rasterSprite.context);
    RasterImage rasterSpriteImage(rasterSprite.pixels);
    const RasterImage rasterMask(maskOf(rasterSprite.pixels, packRgb(255, 255, 255)));
    RasterCanvas rasterScratch(40, 30);
    SceneImages rasterImages{rasterPicture, rasterSpriteImage, rasterMask, rasterScratch.surface,
                             rasterScratch.context};
    drawImageScene(raster.context, rasterImages);

    EXPECT_EQ(differences(gdi.pixels(), raster.pixels), "");
}

}  // namespace
}  // namespace tramvek::test
