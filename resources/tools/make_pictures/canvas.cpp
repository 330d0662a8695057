#include "canvas.h"

namespace tramvek::pictures {

namespace {

// Anti-aliased edges are kept to 16 steps so that a picture with a few inks
// always fits the 256-entry palette of an 8-bit bitmap.
constexpr int kCoverageSteps = 15;

std::uint8_t mix(std::uint8_t from, std::uint8_t to, int step) {
    return static_cast<std::uint8_t>((from * (kCoverageSteps - step) + to * step + kCoverageSteps / 2) /
                                     kCoverageSteps);
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

Rgb Canvas::at(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Canvas::set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void Canvas::fillRect(int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            set(x, y, colour);
        }
    }
}

void Canvas::blend(int x, int y, Rgb ink, std::uint8_t coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const int step = (coverage * kCoverageSteps + 127) / 255;
    if (step == 0) {
        return;
    }
    const Rgb under = at(x, y);
    set(x, y,
        {mix(under.red, ink.red, step), mix(under.green, ink.green, step), mix(under.blue, ink.blue, step)});
}

}  // namespace tramvek::pictures
