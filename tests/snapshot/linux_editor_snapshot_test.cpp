// tramvek-host snapshot on the Linux plug-in: its editor in a real X11 window
// on $DISPLAY, read back from the screen.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_resources.h"
#include "gui/raster/bmp_decoder.h"

namespace tramvek {
namespace {

constexpr int kBackgroundResource = 128;
// Every view sits at least this far from the left and top edges, so there the
// window shows the background picture itself.
constexpr int kViewFreeMargin = 5;

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

std::optional<DecodedPng> readPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    png_image reader;
    std::memset(&reader, 0, sizeof reader);
    reader.version = PNG_IMAGE_VERSION;
    if (bytes.empty() || png_image_begin_read_from_memory(&reader, bytes.data(), bytes.size()) == 0) {
        return std::nullopt;
    }
    reader.format = PNG_FORMAT_RGB;
    DecodedPng image{static_cast<int>(reader.width), static_cast<int>(reader.height),
                     std::vector<std::uint8_t>(PNG_IMAGE_SIZE(reader))};
    if (png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr) == 0) {
        return std::nullopt;
    }
    return image;
}

uint32_t pixelAt(const DecodedPng& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return packRgb(image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]);
}

TEST(LinuxEditorSnapshot, ShowsTheEditorOnItsBackgroundPicture) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X server (ctest starts a private Xvfb)";
    const std::string output = ::testing::TempDir() + "tramvek-linux-editor.png";
    std::remove(output.c_str());
    const std::string command =
        std::string(TRAMVEK_HOST_PATH) + " snapshot " + TRAMVEK_PLUGIN_PATH + " -o " + output;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::optional<DecodedPng> shown = readPng(output);
    ASSERT_TRUE(shown.has_value());
    const std::optional<PixelBuffer> background = decodeBmp(bitmapResourceBytes(kBackgroundResource));
    ASSERT_TRUE(background.has_value());
    ASSERT_EQ(shown->width, background->width());
    ASSERT_EQ(shown->height, background->height());

    int differing = 0;
    for (int y = 0; y < shown->height; ++y) {
        for (int x = 0; x < shown->width; ++x) {
            const bool margin = x < kViewFreeMargin || y < kViewFreeMargin;
            if (margin && pixelAt(*shown, x, y) != background->at(x, y)) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0) << "the window's edges do not show the background picture";

    // The views are drawn over the background: much of the inside differs from it.
    int drawnOver = 0;
    for (int y = kViewFreeMargin; y < shown->height; ++y) {
        for (int x = kViewFreeMargin; x < shown->width; ++x) {
            drawnOver += pixelAt(*shown, x, y) != background->at(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(drawnOver, shown->width * shown->height / 10);
}

}  // namespace
}  // namespace tramvek
