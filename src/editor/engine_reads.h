// Engine values come as stored, and another thread may have stored anything:
// each is brought into the range its use needs.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/engine_limits.h"  // clampUnit: one definition, the engine's

namespace tramvek {

// 0..count-1; anything else becomes the nearest end.
inline int32_t clampIndex(int32_t index, int32_t count) {
    return std::clamp(index, 0, count - 1);
}

}  // namespace tramvek
