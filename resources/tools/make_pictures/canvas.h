#pragma once

#include <cstdint>
#include <vector>

namespace tramvek::pictures {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    auto operator<=>(const Rgb&) const = default;
};

// A true-colour drawing surface; the pictures are reduced to a palette only
// when they are written out.
class Canvas {
  public:
    Canvas(int width, int height, Rgb background);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;

    // Pixels outside the canvas are silently skipped.
    void set(int x, int y, Rgb colour);
    void fillRect(int left, int top, int right, int bottom, Rgb colour);  // right, bottom excluded
    // Mixes `ink` over the pixel by `coverage` (0 none .. 255 full).
    void blend(int x, int y, Rgb ink, std::uint8_t coverage);

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

}  // namespace tramvek::pictures
