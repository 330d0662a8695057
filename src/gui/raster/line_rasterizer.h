#pragma once

#include <functional>

#include "gui/geometry.h"

namespace tramvek {

// Visits the pixels of a one-pixel line from `from` to `to`, the end pixel
// excluded, with the same choice of pixels as the Windows graphics engine
// (Bresenham with a tie-breaking bias in octants 3, 5, 6 and 8).
void rasterizeLine(Point from, Point to, const std::function<void(int32_t x, int32_t y)>& plot);

}  // namespace tramvek
