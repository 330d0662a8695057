#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace tramvek::testing {

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// Reads the 8-bit bottom-up bitmap files the picture tool writes.
class IndexedBmp {
  public:
    explicit IndexedBmp(std::span<const std::uint8_t> file) : bytes_(file.begin(), file.end()) {}

    int bitsPerPixel() const { return read16(28); }
    int width() const { return static_cast<int>(read32(18)); }
    int height() const { return static_cast<int>(read32(22)); }
    std::uint32_t fileSize() const { return read32(2); }

    Rgb at(int x, int y) const {
        const std::uint32_t stride = (static_cast<std::uint32_t>(width()) + 3) & ~3U;
        const std::uint32_t row = static_cast<std::uint32_t>(height() - 1 - y);
        const std::uint8_t index = bytes_.at(read32(10) + row * stride + static_cast<std::uint32_t>(x));
        const std::size_t entry = 14 + read32(14) + 4U * index;
        return {bytes_.at(entry + 2), bytes_.at(entry + 1), bytes_.at(entry)};
    }

  private:
    std::uint32_t read16(std::size_t at) const { return bytes_.at(at) | (bytes_.at(at + 1) << 8); }
    std::uint32_t read32(std::size_t at) const { return read16(at) | (read16(at + 2) << 16); }

    std::vector<std::uint8_t> bytes_;
};

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tramvek::testing
