// BMP decoding (the resource format), the program's own bitmap resources, PNG output.
#include <gtest/gtest.h>

#include <png.h>

#include <map>
#include <vector>

#include "gui/bitmap.h"
#include "gui/gui_test_support.h"
#include "gui/raster/bmp_decoder.h"
#include "gui/raster/png_writer.h"

namespace tramvek::test {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A bitmap file with the given pixel rows as stored (already padded).
std::vector<uint8_t> bmpFile(int32_t width, int32_t height, uint16_t bits,
                             const std::vector<uint32_t>& palette, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> file{'B', 'M'};
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    put32(file, offset + static_cast<uint32_t>(rows.size()));
    put32(file, 0);
    put32(file, offset);
    put32(file, 40);
    put32(file, static_cast<uint32_t>(width));
    put32(file, static_cast<uint32_t>(height));
    put16(file, 1);
    put16(file, bits);
    put32(file, 0);
    put32(file, static_cast<uint32_t>(rows.size()));
    put32(file, 2835);
    put32(file, 2835);
    put32(file, static_cast<uint32_t>(palette.size()));
    put32(file, 0);
    for (uint32_t bgr : palette) {
        put32(file, bgr);
    }
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

TEST(BmpDecoding, TwentyFourBitBottomUpRowsWithPadding) {
    // 3 x 2: the last stored row is the top one; rows are padded to 12 bytes.
    const std::vector<uint8_t> rows{
        0,  0,  255, 0,  255, 0,  255, 0,  0,  0, 0, 0,  // bottom: red, green, blue
        10, 20, 30,  40, 50,  60, 70,  80, 90, 0, 0, 0,  // top
    };
    const std::optional<PixelBuffer> pixels = decodeBmp(bmpFile(3, 2, 24, {}, rows));
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(pixels->width(), 3);
    EXPECT_EQ(pixels->height(), 2);
    EXPECT_EQ(pixels->at(0, 1), colors::Red.packed());
    EXPECT_EQ(pixels->at(1, 1), colors::Green.packed());
    EXPECT_EQ(pixels->at(2, 1), colors::Blue.packed());
    EXPECT_EQ(pixels->at(0, 0), packRgb(30, 20, 10));
    EXPECT_EQ(pixels->at(2, 0), packRgb(90, 80, 70));
}

TEST(BmpDecoding, PalettedTopDownAndOneBit) {
    const std::vector<uint32_t> palette{0x00112233, 0x00FFFFFF, 0x00FF0000};  // stored as 0RGB words
    // 8 bits, height -2 (top-down), width 2, rows padded to 4 bytes.
    const std::optional<PixelBuffer> eight = decodeBmp(bmpFile(2, -2, 8, palette, {2, 0, 0, 0, 1, 1, 0, 0}));
    ASSERT_TRUE(eight.has_value());
    EXPECT_EQ(eight->at(0, 0), colors::Red.packed());
    EXPECT_EQ(eight->at(1, 0), packRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(eight->at(0, 1), colors::White.packed());

    const std::optional<PixelBuffer> one =
        decodeBmp(bmpFile(10, 1, 1, {0x00000000, 0x00FFFFFF}, {0b10100000, 0b01000000, 0, 0}));
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->at(0, 0), colors::White.packed());
    EXPECT_EQ(one->at(1, 0), 0u);
    EXPECT_EQ(one->at(2, 0), colors::White.packed());
    EXPECT_EQ(one->at(9, 0), colors::White.packed());

    // A pixel pointing past a short palette reads black instead of outside it.
    const std::optional<PixelBuffer> shortPalette = decodeBmp(bmpFile(1, 1, 8, {0x00FFFFFF}, {200, 0, 0, 0}));
    ASSERT_TRUE(shortPalette.has_value());
    EXPECT_EQ(shortPalette->at(0, 0), 0u);
}

TEST(BmpDecoding, MalformedFilesAreRefused) {
    std::vector<uint8_t> good = bmpFile(2, 2, 24, {}, std::vector<uint8_t>(16, 7));
    ASSERT_TRUE(decodeBmp(good).has_value());

    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_FALSE(decodeBmp(truncated).has_value());
    std::vector<uint8_t> badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE(decodeBmp(badMagic).has_value());
    std::vector<uint8_t> huge = good;
    huge[18] = 0xFF;
    huge[19] = 0xFF;
    huge[20] = 0xFF;
    huge[21] = 0x7F;
    EXPECT_FALSE(decodeBmp(huge).has_value());
    std::vector<uint8_t> offsetPastEnd = good;
    offsetPastEnd[10] = 0xF0;
    offsetPastEnd[11] = 0xFF;
    EXPECT_FALSE(decodeBmp(offsetPastEnd).has_value());
    std::vector<uint8_t> compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(decodeBmp(compressed).has_value());
    EXPECT_FALSE(decodeBmp({}).has_value());
    EXPECT_FALSE(decodeBmp(std::span<const uint8_t>(good.data(), 20)).has_value());
}

std::vector<uint8_t> builtResource;
std::span<const uint8_t> builtResourceBytes(int32_t id) {
    return id == 7 ? std::span<const uint8_t>(builtResource) : std::span<const uint8_t>();
}

using Resources = RasterTest;

TEST_F(Resources, BitmapsLoadByNumber) {
    builtResource = bmpFile(1, 1, 24, {}, {255, 0, 0, 0});
    headlessPlatform().setResourceSource(&builtResourceBytes);
    auto* loaded = new Bitmap(7);
    EXPECT_EQ(loaded->width(), 1);
    EXPECT_EQ(loaded->resourceId(), 7);
    Canvas canvas(2, 2, 0);
    loaded->drawBitmap(canvas.context, {1, 1, 2, 2}, {0, 0});
    EXPECT_EQ(canvas.pixels.at(1, 1), colors::Blue.packed());
    loaded->release();
}

TEST_F(Resources, TheProgramsPicturesHaveTheirSizesAndColours) {
    auto* background = new Bitmap(128);
    auto* help = new Bitmap(133);
    EXPECT_EQ(background->width(), 590);
    EXPECT_EQ(background->height(), 331);
    EXPECT_EQ(help->width(), 580);
    EXPECT_EQ(help->height(), 322);

    Canvas canvas(590, 331, 1);
    background->drawBitmap(canvas.context, {0, 0, 590, 331}, {0, 0});
    EXPECT_EQ(canvas.pixels.at(295, 165), packRgb(255, 205, 127));
    EXPECT_NE(canvas.pixels.at(0, 0), packRgb(255, 205, 127));

    Canvas helpCanvas(580, 322, 1);
    help->drawBitmap(helpCanvas.context, {0, 0, 580, 322}, {0, 0});
    std::map<uint32_t, int> counts;
    for (int32_t y = 0; y < 322; ++y) {
        for (int32_t x = 0; x < 580; ++x) {
            ++counts[helpCanvas.pixels.at(x, y)];
        }
    }
    EXPECT_GT(counts[packRgb(250, 212, 183)], 580 * 322 / 2);
    background->release();
    help->release();
    auto* absent = new Bitmap(129);
    EXPECT_FALSE(absent->isLoaded());
    EXPECT_EQ(absent->release(), 0);
}

TEST(PngOutput, WrittenPixelsReadBackUnchanged) {
    PixelBuffer pixels(5, 3, packRgb(1, 2, 3));
    pixels.at(4, 2) = packRgb(250, 128, 7);
    pixels.at(0, 1) = colors::White.packed();
    const std::string path = std::string(TRAMVEK_GUI_TEST_OUTPUT) + "/round_trip.png";
    ASSERT_TRUE(writePng(pixels, path));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr), 0);
    ASSERT_EQ(image.width, 5u);
    ASSERT_EQ(image.height, 3u);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const size_t at = (static_cast<size_t>(y) * 5 + x) * 3;
            EXPECT_EQ(packRgb(bytes[at], bytes[at + 1], bytes[at + 2]), pixels.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_FALSE(writePng(pixels, "/nonexistent-folder/x.png"));
    EXPECT_FALSE(writePng(PixelBuffer(), path));
}

}  // namespace
}  // namespace tramvek::test
