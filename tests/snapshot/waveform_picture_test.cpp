// The main job's picture of a render: the output's ink sits one pattern to the
// right of the input's when the output is the input one pattern late, and the
// pattern boundaries are marked where the grid puts them.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "waveform_picture.h"

namespace tramvek {
namespace {

bool isInk(uint32_t pixel) {
    const Color c{static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8u),
                  static_cast<uint8_t>(pixel >> 16u), 0};
    return c.red + c.green + c.blue < 200;
}

bool isBoundary(uint32_t pixel) {
    return (pixel & 0xFFu) > 140 && ((pixel >> 8u) & 0xFFu) < 60 && ((pixel >> 16u) & 0xFFu) < 60;
}

// Columns of the lane with wave ink away from its middle row.
std::set<int32_t> inkColumns(const PixelBuffer& picture, const Rect& lane) {
    std::set<int32_t> columns;
    const int32_t middle = (lane.top + lane.bottom) / 2;
    for (int32_t x = lane.left; x < lane.right; ++x) {
        for (int32_t y = lane.top; y < lane.bottom; ++y) {
            if (std::abs(y - middle) > 2 && isInk(picture.at(x, y))) {
                columns.insert(x);
                break;
            }
        }
    }
    return columns;
}

bool hasNear(const std::set<int32_t>& columns, int32_t x) {
    return columns.count(x - 1) + columns.count(x) + columns.count(x + 1) > 0;
}

TEST(WaveformPicture, ShowsTheOutputOnePatternAfterTheInputOnTheGrid) {
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        const StepGrid grid{std::uniform_real_distribution<double>(80.0, 180.0)(random),
                            std::uniform_int_distribution<int>(2, 6)(random),
                            std::uniform_int_distribution<int>(4, 16)(random)};
        StereoAudio input;
        input.sampleRate = 8000.0;
        const double stepFrames = grid.framesPerStep(input.sampleRate);
        const int patterns = 3;
        const auto frames = static_cast<std::size_t>(patterns * grid.stepsPerPattern * stepFrames);
        input.left.assign(frames, 0.0f);
        for (int step = 0; step < patterns * grid.stepsPerPattern; ++step) {
            if (random() % 3 == 0) {
                const auto first = static_cast<std::size_t>(step * stepFrames);
                for (std::size_t i = first; i < first + static_cast<std::size_t>(stepFrames / 4); ++i) {
                    input.left[i] = i % 2 == 0 ? 0.9f : -0.9f;
                }
            }
        }
        input.right = input.left;
        StereoAudio output = input;
        const auto delay = static_cast<std::size_t>(grid.stepsPerPattern * stepFrames);
        for (auto* channel : {&output.left, &output.right}) {
            channel->insert(channel->begin(), delay, 0.0f);
            channel->resize(frames);
        }

        const PixelBuffer picture = drawWaveformPicture(input, output, grid);
        const std::set<int32_t> in = inkColumns(picture, kInputLane);
        const std::set<int32_t> out = inkColumns(picture, kOutputLane);
        const int32_t shift = (kInputLane.right - kInputLane.left) / patterns;
        ASSERT_FALSE(out.empty()) << "round " << round;
        for (int32_t x : out) {
            EXPECT_TRUE(hasNear(in, x - shift)) << "round " << round << ": output ink at " << x;
        }
        for (int32_t x : in) {
            if (x + shift + 1 < kOutputLane.right) {
                EXPECT_TRUE(hasNear(out, x + shift)) << "round " << round << ": input ink at " << x;
            }
        }
        std::set<int32_t> boundaries;
        for (int32_t x = kInputLane.left; x < kInputLane.right; ++x) {
            if (isBoundary(picture.at(x, kInputLane.top + 1))) {
                boundaries.insert(x);
            }
        }
        EXPECT_EQ(boundaries.size(), static_cast<std::size_t>(patterns + 1)) << "round " << round;
        for (int pattern = 0; pattern < patterns; ++pattern) {
            EXPECT_TRUE(hasNear(boundaries, kInputLane.left + pattern * shift))
                << "round " << round << ": pattern " << pattern;
        }
    }
}

}  // namespace
}  // namespace tramvek
