#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/color.h"
#include "gui/geometry.h"

namespace tramvek {

// Packed pixels (red + 256 * green + 65536 * blue), rows top to bottom.
class PixelBuffer {
  public:
    PixelBuffer() = default;
    PixelBuffer(int32_t width, int32_t height, uint32_t fill = 0);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Unchecked access; callers clip first.
    uint32_t& at(int32_t x, int32_t y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    uint32_t at(int32_t x, int32_t y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Row y's first pixel; unchecked.
    uint32_t* row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }

    // Checked access: writes outside are dropped, reads outside give 0.
    void set(int32_t x, int32_t y, uint32_t value) {
        if (inside(x, y)) {
            at(x, y) = value;
        }
    }
    uint32_t get(int32_t x, int32_t y) const { return inside(x, y) ? at(x, y) : 0; }
    Color color(int32_t x, int32_t y) const;

    // Fills left <= x < right, top <= y < bottom, clipped to the buffer.
    void fill(const Rect& area, uint32_t value);

  private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint32_t> pixels_;
};

constexpr uint32_t packRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return red | (static_cast<uint32_t>(green) << 8u) | (static_cast<uint32_t>(blue) << 16u);
}

}  // namespace tramvek
