#include "formats/png_image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

namespace tramvek {
namespace {

// Decodes with libpng; an empty image when it rejects the bytes.
RgbImage decode(const std::vector<std::uint8_t>& bytes) {
    png_image reader;
    std::memset(&reader, 0, sizeof reader);
    reader.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&reader, bytes.data(), bytes.size()) == 0) {
        return {};
    }
    reader.format = PNG_FORMAT_RGB;
    RgbImage image(static_cast<int>(reader.width), static_cast<int>(reader.height));
    if (png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr) == 0) {
        return {};
    }
    return image;
}

RgbImage pattern(int width, int height) {
    RgbImage image(width, height);
    for (std::size_t i = 0; i < image.rgb.size(); ++i) {
        image.rgb[i] = static_cast<std::uint8_t>((i * 7 + i / 3) & 0xFFu);
    }
    return image;
}

TEST(PngImage, ChecksumsMatchTheirKnownValues) {
    const char* text = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    EXPECT_EQ(crc32(bytes, 9), 0xCBF43926u);
    EXPECT_EQ(adler32(bytes, 9), 0x091E01DEu);
    const char* wiki = "Wikipedia";
    EXPECT_EQ(adler32(reinterpret_cast<const std::uint8_t*>(wiki), 9), 0x11E60398u);
}

TEST(PngImage, SmallAndMultiBlockImagesDecodeToTheSamePixels) {
    // 590 x 331 needs several stored blocks of at most 65535 bytes.
    for (auto [width, height] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{590, 331}}) {
        const RgbImage original = pattern(width, height);
        const RgbImage decoded = decode(encodePng(original));
        ASSERT_EQ(decoded.width, width);
        ASSERT_EQ(decoded.height, height);
        EXPECT_EQ(decoded.rgb, original.rgb) << width << "x" << height;
    }
}

}  // namespace
}  // namespace tramvek
