// Little-endian fields of chunk bytes, written and read by the tests' own
// helpers so that they do not lean on the code under test.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace tramvek::testing {

using Bytes = std::vector<std::uint8_t>;

inline void putU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        bytes.at(at + k) = static_cast<std::uint8_t>(value >> (8 * k));
    }
}
inline void putI32(Bytes& bytes, std::size_t at, std::int32_t value) {
    putU32(bytes, at, static_cast<std::uint32_t>(value));
}
inline void putF32(Bytes& bytes, std::size_t at, float value) {
    putU32(bytes, at, std::bit_cast<std::uint32_t>(value));
}

inline std::uint32_t getU32(const Bytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
        value |= static_cast<std::uint32_t>(bytes.at(at + k)) << (8 * k);
    }
    return value;
}
inline std::int32_t getI32(const Bytes& bytes, std::size_t at) {
    return static_cast<std::int32_t>(getU32(bytes, at));
}
inline float getF32(const Bytes& bytes, std::size_t at) {
    return std::bit_cast<float>(getU32(bytes, at));
}

}  // namespace tramvek::testing
