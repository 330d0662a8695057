#include "gui/raster/bmp_decoder.h"

#include <cstdlib>
#include <limits>

namespace tramvek {

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr uint32_t MinInfoHeaderSize = 40;
constexpr uint32_t UncompressedRgb = 0;
constexpr uint32_t BitFields = 3;
constexpr int32_t MaxSide = 1 << 15;

uint32_t read16(std::span<const uint8_t> bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8u);
}

uint32_t read32(std::span<const uint8_t> bytes, size_t at) {
    return read16(bytes, at) | (read16(bytes, at + 2) << 16u);
}

struct Layout {
    int32_t width;
    int32_t height;
    bool topDown;
    uint32_t bitsPerPixel;
    size_t pixelOffset;
    size_t rowBytes;
    size_t paletteOffset;
    uint32_t paletteCount;
};

std::optional<Layout> readLayout(std::span<const uint8_t> file) {
    if (file.size() < FileHeaderSize + MinInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const uint32_t infoSize = read32(file, 14);
    const auto width = static_cast<int32_t>(read32(file, 18));
    const auto rawHeight = static_cast<int32_t>(read32(file, 22));
    const uint32_t bits = read16(file, 28);
    const uint32_t compression = read32(file, 30);
    const bool knownBits = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    const bool knownCompression = compression == UncompressedRgb || (compression == BitFields && bits == 32);
    if (infoSize < MinInfoHeaderSize || !knownBits || !knownCompression || width <= 0 || width > MaxSide ||
        rawHeight == 0 || rawHeight == std::numeric_limits<int32_t>::min() || std::abs(rawHeight) > MaxSide) {
        return std::nullopt;
    }
    Layout layout{};
    layout.width = width;
    layout.height = std::abs(rawHeight);
    layout.topDown = rawHeight < 0;
    layout.bitsPerPixel = bits;
    layout.pixelOffset = read32(file, 10);
    layout.rowBytes = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    layout.paletteOffset = FileHeaderSize + infoSize;
    const uint32_t declaredColours = read32(file, 46);
    layout.paletteCount = bits <= 8 ? (declaredColours != 0 ? declaredColours : (1u << bits)) : 0;
    if (layout.paletteCount > 256 || layout.paletteOffset + 4 * size_t{layout.paletteCount} > file.size() ||
        layout.pixelOffset > file.size() ||
        file.size() - layout.pixelOffset < layout.rowBytes * layout.height) {
        return std::nullopt;
    }
    return layout;
}

uint32_t paletteEntry(std::span<const uint8_t> file, const Layout& layout, uint32_t index) {
    if (index >= layout.paletteCount) {
        return 0;
    }
    const size_t at = layout.paletteOffset + 4 * size_t{index};
    return packRgb(file[at + 2], file[at + 1], file[at]);
}

uint32_t pixelAt(std::span<const uint8_t> file, const Layout& layout, size_t rowStart, int32_t x) {
    const uint32_t bits = layout.bitsPerPixel;
    if (bits >= 24) {
        const size_t at = rowStart + static_cast<size_t>(x) * (bits / 8);
        return packRgb(file[at + 2], file[at + 1], file[at]);
    }
    const size_t bitIndex = static_cast<size_t>(x) * bits;
    const uint32_t byte = file[rowStart + bitIndex / 8];
    const uint32_t shift = 8 - bits - static_cast<uint32_t>(bitIndex % 8);
    return paletteEntry(file, layout, (byte >> shift) & ((1u << bits) - 1));
}

}  // namespace

std::optional<PixelBuffer> decodeBmp(std::span<const uint8_t> file) {
    const std::optional<Layout> layout = readLayout(file);
    if (!layout) {
        return std::nullopt;
    }
    PixelBuffer pixels(layout->width, layout->height);
    for (int32_t row = 0; row < layout->height; ++row) {
        const int32_t y = layout->topDown ? row : layout->height - 1 - row;
        const size_t rowStart = layout->pixelOffset + static_cast<size_t>(row) * layout->rowBytes;
        for (int32_t x = 0; x < layout->width; ++x) {
            pixels.at(x, y) = pixelAt(file, *layout, rowStart, x);
        }
    }
    return pixels;
}

}  // namespace tramvek
