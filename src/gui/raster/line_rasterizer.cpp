#include "gui/raster/line_rasterizer.h"

#include <cstdlib>

namespace tramvek {

namespace {

// Octants numbered 1..8 counter-clockwise from the positive x axis, y downward.
int octantOf(int32_t dx, int32_t dy) {
    if (dy > 0) {
        if (dx > 0) {
            return dx > dy ? 1 : 2;
        }
        return -dx > dy ? 4 : 3;
    }
    if (dx < 0) {
        return -dx > -dy ? 5 : 6;
    }
    return dx > -dy ? 8 : 7;
}

bool takesBias(int octant) {
    return octant == 3 || octant == 5 || octant == 6 || octant == 8;
}

}  // namespace

void rasterizeLine(Point from, Point to, const std::function<void(int32_t x, int32_t y)>& plot) {
    const int32_t dx = to.x - from.x;
    const int32_t dy = to.y - from.y;
    if (dx == 0 && dy == 0) {
        return;
    }
    const int32_t absDx = std::abs(dx);
    const int32_t absDy = std::abs(dy);
    const int32_t bias = takesBias(octantOf(dx, dy)) ? 1 : 0;
    const int32_t xStep = dx < 0 ? -1 : 1;
    const int32_t yStep = dy < 0 ? -1 : 1;
    const bool xMajor = absDx > absDy;
    const int32_t major = xMajor ? absDx : absDy;
    const int32_t minor = xMajor ? absDy : absDx;
    int32_t error = 2 * minor - major;
    int32_t x = from.x;
    int32_t y = from.y;
    for (int32_t i = 0; i < major; ++i) {
        plot(x, y);
        if (error + bias > 0) {
            (xMajor ? y : x) += xMajor ? yStep : xStep;
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
        (xMajor ? x : y) += xMajor ? xStep : yStep;
    }
}

}  // namespace tramvek
