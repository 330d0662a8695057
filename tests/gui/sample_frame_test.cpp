// Draws a sample editor frame with the raster back end and saves it as PNG files
// in the build folder (sample_frame.png, and sample_frame_help.png with the help
// overlay shown) for a look by eye.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gui/bitmap.h"
#include "gui/gui_test_support.h"
#include "gui/overlay_button.h"
#include "gui/param_display.h"
#include "gui/raster/png_writer.h"

namespace tramvek::test {
namespace {

void questionMark(float, char* text) {
    std::strcpy(text, "?");
}

using SampleFrame = RasterTest;

TEST_F(SampleFrame, BackgroundDisplayAndHelpOverlay) {
    auto* background = new Bitmap(128);
    ASSERT_EQ(background->width(), 590);
    Frame frame({0, 0, background->width(), background->height()}, fakeParent(), nullptr);
    frame.setBackground(background);

    auto* display = new ParamDisplay({200, 150, 300, 170}, nullptr, display_style::ShadowText);
    display->setValue(0.5f);
    display->setFontId(1);
    display->setBackColor({40, 40, 90, 0});
    display->setFrameColor(colors::Yellow);
    frame.addView(display);

    auto* label = new ParamDisplay({500, 302, 540, 317}, nullptr, 1);
    label->setFontId(2);
    label->setTextColor(colors::Red);
    label->setBackColor({250, 250, 250, 0});
    label->setFrameColor(colors::Black);
    label->setConversion(&questionMark);
    frame.addView(label);

    auto* help = new Bitmap(133);
    auto* button = new OverlayButton({500, 302, 540, 317}, nullptr, 0, help, {5, 5, 585, 327}, {0, 0});
    help->release();
    frame.addView(button);

    HeadlessWindow& window = headlessWindow(frame);
    ASSERT_TRUE(window.paintPendingArea());
    const PixelBuffer& pixels = window.pixels();
    EXPECT_EQ(pixels.at(201, 151), packRgb(40, 40, 90));
    EXPECT_EQ(pixels.at(200, 150), colors::Yellow.packed());
    EXPECT_EQ(pixels.at(501, 303), packRgb(250, 250, 250));
    const std::string folder = TRAMVEK_GUI_TEST_OUTPUT;
    ASSERT_TRUE(writePng(pixels, folder + "/sample_frame.png"));

    const uint32_t cornerBefore = pixels.at(2, 2);
    const uint32_t edgeBefore = pixels.at(588, 329);
    input().push({mouse::LeftButton, {520, 310}});
    window.press({520, 310}, mouse::LeftButton);
    ASSERT_EQ(frame.modalView(), button);
    EXPECT_EQ(pixels.at(300, 160), packRgb(250, 212, 183));  // the display is covered
    // Outside the overlay the window is as it was.
    EXPECT_EQ(pixels.at(2, 2), cornerBefore);
    EXPECT_EQ(pixels.at(588, 329), edgeBefore);
    ASSERT_TRUE(writePng(pixels, folder + "/sample_frame_help.png"));

    background->release();
}

}  // namespace
}  // namespace tramvek::test
