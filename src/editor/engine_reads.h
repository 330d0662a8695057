// Reading engine fields that another thread may change at any moment: each is
// read once into a local and brought into the range its use needs.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tramvek {

// A copy of a field read exactly once: the compiler may not read it again
// later and find a different value.
template <typename T>
T readOnce(const T& field) {
    return *static_cast<const volatile T*>(&field);
}

// 0..count-1; anything else becomes the nearest end.
inline int32_t clampIndex(int32_t index, int32_t count) {
    return std::clamp(index, 0, count - 1);
}

// 0..1; NaN becomes 0.
inline float unitValue(float value) {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return std::min(value, 1.0f);
}

}  // namespace tramvek
