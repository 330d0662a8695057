// Fixed-width integers and floats in files, read and written byte by byte so
// that the host's own byte order never matters.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "params/little_endian.h"

namespace tramvek {

inline std::uint32_t readU32Le(const std::uint8_t* p) {
    return readLeU32(p, 0);
}

inline std::uint16_t readU16Le(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t readU32Be(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

inline std::int32_t readI32Be(const std::uint8_t* p) {
    return static_cast<std::int32_t>(readU32Be(p));
}

inline float readF32Be(const std::uint8_t* p) {
    return std::bit_cast<float>(readU32Be(p));
}

inline void storeU16Le(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void storeU32Le(std::uint8_t* p, std::uint32_t v) {
    writeLeU32(p, 0, v);
}

inline void storeU32Be(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    }
}

inline void appendU32Be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.resize(out.size() + 4);
    storeU32Be(&out[out.size() - 4], v);
}

inline void appendI32Be(std::vector<std::uint8_t>& out, std::int32_t v) {
    appendU32Be(out, static_cast<std::uint32_t>(v));
}

inline void appendF32Be(std::vector<std::uint8_t>& out, float v) {
    appendU32Be(out, std::bit_cast<std::uint32_t>(v));
}

}  // namespace tramvek
