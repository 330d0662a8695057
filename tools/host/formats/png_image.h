// Pictures the host saves: 8-bit RGB images and a PNG encoder that needs no
// compression library (the image data goes into stored deflate blocks), so
// every build of the host, Windows included, writes the same files.
#pragma once

#include <cstdint>
#include <vector>

namespace tramvek {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}
};

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

std::vector<std::uint8_t> encodePng(const RgbImage& image);

}  // namespace tramvek
