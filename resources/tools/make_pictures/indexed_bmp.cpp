#include "indexed_bmp.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace tramvek::pictures {

namespace {

constexpr int kPaletteSize = 256;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::map<Rgb, std::uint8_t> buildPalette(const Canvas& canvas) {
    std::map<Rgb, std::uint8_t> palette;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            palette.emplace(canvas.at(x, y), 0);
        }
    }
    if (palette.size() > kPaletteSize) {
        throw std::runtime_error("picture has more than 256 colours");
    }
    int index = 0;
    for (auto& entry : palette) {
        entry.second = static_cast<std::uint8_t>(index++);
    }
    return palette;
}

}  // namespace

std::vector<std::uint8_t> encodeIndexedBmp(const Canvas& canvas) {
    const auto palette = buildPalette(canvas);
    const std::uint32_t stride = (static_cast<std::uint32_t>(canvas.width()) + 3) & ~3U;
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize * 4;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(canvas.height());

    std::vector<std::uint8_t> out;
    out.reserve(pixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, pixelOffset + imageSize);
    put32(out, 0);
    put32(out, pixelOffset);

    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(canvas.width()));
    put32(out, static_cast<std::uint32_t>(canvas.height()));  // positive: bottom-up rows
    put16(out, 1);                                            // planes
    put16(out, 8);                                            // bits per pixel
    put32(out, 0);                                            // no compression
    put32(out, imageSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, kPaletteSize);
    put32(out, 0);  // every colour matters

    for (const auto& [colour, index] : palette) {
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }
    out.resize(pixelOffset, 0);

    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            out.push_back(palette.at(canvas.at(x, y)));
        }
        out.resize(out.size() + (stride - static_cast<std::uint32_t>(canvas.width())), 0);
    }
    return out;
}

}  // namespace tramvek::pictures
