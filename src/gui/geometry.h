#pragma once

#include <cstdint>

namespace tramvek {

// Pixel position in frame coordinates: origin at the window's top-left, y downward.
struct Point {
    int32_t x = 0;
    int32_t y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle whose right and bottom edges belong to it. Blits that need a size
// take right - left by bottom - top.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    Point topLeft() const { return {left, top}; }

    bool contains(Point p) const { return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom; }
    // Rectangles that only share an edge overlap.
    bool overlaps(const Rect& other) const {
        return right >= other.left && other.right >= left && bottom >= other.top && other.bottom >= top;
    }
    Rect offsetBy(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    // The smallest rectangle holding both.
    Rect unitedWith(const Rect& other) const {
        return {left < other.left ? left : other.left, top < other.top ? top : other.top,
                right > other.right ? right : other.right, bottom > other.bottom ? bottom : other.bottom};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tramvek
