#include "gui/raster/pixel_buffer.h"

#include <algorithm>

namespace tramvek {

PixelBuffer::PixelBuffer(int32_t width, int32_t height, uint32_t fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

Color PixelBuffer::color(int32_t x, int32_t y) const {
    const uint32_t value = get(x, y);
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8u),
            static_cast<uint8_t>(value >> 16u), 0};
}

void PixelBuffer::fill(const Rect& area, uint32_t value) {
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, width_);
    const int32_t bottom = std::min(area.bottom, height_);
    if (right <= left) {
        return;
    }
    for (int32_t y = top; y < bottom; ++y) {
        std::fill(row(y) + left, row(y) + right, value);
    }
}

}  // namespace tramvek
