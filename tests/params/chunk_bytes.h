// Chunks saved from and loaded into an engine, for the tests.
#pragma once

#include "params/le_bytes.h"
#include "support/engine_state_access.h"

namespace tramvek::testing {

// Offset of a step value in a bank chunk.
inline std::size_t stepAt(int bank, int lane, int slot) {
    return 960 + 4 * (bank * 4550 + lane * 650 + slot);
}

inline Bytes saveChunk(SlicerPlugin& effect, bool preset = false) {
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, preset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

inline VstInt32 loadChunk(SlicerPlugin& effect, Bytes& bytes, bool preset = false) {
    return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), preset);
}

}  // namespace tramvek::testing
