// The program record that parameter changes go to. curProgram is a plain
// field another thread may write, and the MIDI path reaches this record from
// the audio thread, so the index is clamped where it is used.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/slicer_effect.h"

namespace tramvek {

inline std::int32_t currentProgramIndex(const SlicerEffect& effect) {
    return std::clamp<std::int32_t>(effect.curProgram, 0, SlicerEffect::kProgramCount - 1);
}

inline ProgramRecord& currentProgramRecord(SlicerEffect& effect) {
    return effect.programs[currentProgramIndex(effect)];
}

}  // namespace tramvek
