// Chunks saved from and loaded into an engine, for the tests.
#pragma once

#include "engine/slicer_effect.h"
#include "params/le_bytes.h"

namespace tramvek::testing {

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
