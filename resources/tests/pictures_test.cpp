#include <gtest/gtest.h>

#include <algorithm>

#include "bitmap_resources.h"
#include "bmp_reader.h"

namespace tramvek::testing {
namespace {

int brightness(Rgb c) {
    return c.red + c.green + c.blue;
}

TEST(BitmapResourceBytes, AreTheCommittedFilesForTheTwoNumbersAndNothingElse) {
    const auto background = readFile(TRAMVEK_BACKGROUND_BMP);
    const auto help = readFile(TRAMVEK_HELP_BMP);
    ASSERT_FALSE(background.empty());
    ASSERT_FALSE(help.empty());
    const auto embedded128 = bitmapResourceBytes(128);
    const auto embedded133 = bitmapResourceBytes(133);
    EXPECT_TRUE(std::equal(embedded128.begin(), embedded128.end(), background.begin(), background.end()));
    EXPECT_TRUE(std::equal(embedded133.begin(), embedded133.end(), help.begin(), help.end()));
    for (int other : {0, 127, 129, 132, 134, -128}) {
        EXPECT_TRUE(bitmapResourceBytes(other).empty()) << other;
    }
}

TEST(BackgroundPicture, IsAnEightBitFieldInADarkBevelledBorder) {
    const IndexedBmp picture(bitmapResourceBytes(128));
    ASSERT_EQ(picture.width(), 590);
    ASSERT_EQ(picture.height(), 331);
    EXPECT_EQ(picture.bitsPerPixel(), 8);
    EXPECT_EQ(picture.fileSize(), bitmapResourceBytes(128).size());

    const Rgb field{255, 205, 127};
    for (auto [x, y] : {std::pair{5, 5}, {584, 325}, {300, 170}, {20, 320}, {560, 320}}) {
        EXPECT_EQ(picture.at(x, y), field) << x << "," << y;
    }
    // Every pixel of the outer ring is dark; the bevel is lighter top-left than bottom-right.
    for (int x = 0; x < 590; ++x) {
        EXPECT_LT(brightness(picture.at(x, 0)), 120) << x;
        EXPECT_LT(brightness(picture.at(x, 330)), 120) << x;
    }
    EXPECT_GT(brightness(picture.at(100, 1)), brightness(picture.at(100, 329)));
    EXPECT_GT(brightness(picture.at(1, 100)), brightness(picture.at(588, 100)));
}

TEST(BackgroundPicture, CarriesTheNameOnlyInTheFreeLowerRightArea) {
    const IndexedBmp picture(bitmapResourceBytes(128));
    const Rgb field{255, 205, 127};
    int left = 590;
    int right = -1;
    int top = 331;
    int bottom = -1;
    for (int y = 5; y < 326; ++y) {
        for (int x = 5; x < 585; ++x) {
            if (!(picture.at(x, y) == field)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no name drawn";
    // Right of the waveform view, below the step sequencer, above the help button.
    EXPECT_GT(left, 460);
    EXPECT_GT(top, 242);
    EXPECT_LT(bottom, 302);
    EXPECT_LT(right, 585);
    int darkest = 3 * 255;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            darkest = std::min(darkest, brightness(picture.at(x, y)));
        }
    }
    EXPECT_LT(darkest, 250) << "the name is not dark";
}

TEST(HelpPicture, IsTheManualOnItsField) {
    const IndexedBmp picture(bitmapResourceBytes(133));
    ASSERT_EQ(picture.width(), 580);
    ASSERT_EQ(picture.height(), 322);
    EXPECT_EQ(picture.bitsPerPixel(), 8);
    const Rgb field{250, 212, 183};
    for (auto [x, y] : {std::pair{0, 0}, {579, 0}, {0, 321}, {579, 321}}) {
        EXPECT_EQ(picture.at(x, y), field) << x << "," << y;
    }
    // Both columns carry dark text.
    int leftInk = 0, rightInk = 0;
    for (int y = 0; y < 322; ++y) {
        for (int x = 0; x < 580; ++x) {
            if (brightness(picture.at(x, y)) < 200) {
                ++(x < 290 ? leftInk : rightInk);
            }
        }
    }
    EXPECT_GT(leftInk, 2000);
    EXPECT_GT(rightInk, 2000);
}

}  // namespace
}  // namespace tramvek::testing
