// Chunk bytes for the tests, written and read with their own little-endian
// helpers so the tests do not lean on the code under test.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "engine/slicer_effect.h"

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

// Offset of a step value in a bank chunk.
inline std::size_t stepAt(int bank, int lane, int slot) {
    return 960 + 4 * (bank * 4550 + lane * 650 + slot);
}

inline Bytes saveChunk(SlicerEffect& effect, bool preset = false) {
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, preset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

inline VstInt32 loadChunk(SlicerEffect& effect, Bytes& bytes, bool preset = false) {
    return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), preset);
}

}  // namespace tramvek::testing
