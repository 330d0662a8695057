#include "gui/gui_test_support.h"

#include <algorithm>

namespace tramvek::test {

std::vector<Point> changedPixels(const PixelBuffer& pixels, uint32_t background) {
    std::vector<Point> changed;
    for (int32_t y = 0; y < pixels.height(); ++y) {
        for (int32_t x = 0; x < pixels.width(); ++x) {
            if (pixels.at(x, y) != background) {
                changed.push_back({x, y});
            }
        }
    }
    return changed;
}

std::optional<Rect> inkBox(const PixelBuffer& pixels, uint32_t background) {
    const std::vector<Point> changed = changedPixels(pixels, background);
    if (changed.empty()) {
        return std::nullopt;
    }
    Rect box{changed[0].x, changed[0].y, changed[0].x, changed[0].y};
    for (const Point& p : changed) {
        box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
               std::max(box.bottom, p.y)};
    }
    return box;
}

}  // namespace tramvek::test
