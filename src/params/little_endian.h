#pragma once

// Reading and writing little-endian 32-bit values at byte offsets, whatever
// the byte order of the machine we run on: chunks travel between hosts.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tramvek {

inline std::uint32_t readLeU32(const std::uint8_t* bytes, std::size_t offset) {
    const std::uint8_t* p = bytes + offset;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::int32_t readLeI32(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::int32_t>(readLeU32(bytes, offset));
}

inline float readLeF32(const std::uint8_t* bytes, std::size_t offset) {
    return std::bit_cast<float>(readLeU32(bytes, offset));
}

inline void writeLeU32(std::uint8_t* bytes, std::size_t offset, std::uint32_t value) {
    std::uint8_t* p = bytes + offset;
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void writeLeI32(std::uint8_t* bytes, std::size_t offset, std::int32_t value) {
    writeLeU32(bytes, offset, static_cast<std::uint32_t>(value));
}

inline void writeLeF32(std::uint8_t* bytes, std::size_t offset, float value) {
    writeLeU32(bytes, offset, std::bit_cast<std::uint32_t>(value));
}

}  // namespace tramvek
