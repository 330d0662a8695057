// Conversions of host-supplied numbers that stay defined for every input:
// float-to-integer casts of NaN or out-of-range values are undefined in C++.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "host/vst2.h"

namespace tramvek {

inline constexpr VstInt32 kInt32Max = std::numeric_limits<VstInt32>::max();
inline constexpr VstInt32 kInt32Min = std::numeric_limits<VstInt32>::min();

// Truncates toward zero; NaN gives 0, values beyond the int32 range saturate.
inline VstInt32 truncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(kInt32Max)) {
        return kInt32Max;
    }
    if (value <= static_cast<double>(kInt32Min)) {
        return kInt32Min;
    }
    return static_cast<VstInt32>(value);
}

inline VstInt32 clampToInt32(VstIntPtr value) {
    if (value > kInt32Max) {
        return kInt32Max;
    }
    if (value < kInt32Min) {
        return kInt32Min;
    }
    return static_cast<VstInt32>(value);
}

// The low 8 bits, as a key code carries them.
inline unsigned char lowByte(VstIntPtr value) {
    return static_cast<unsigned char>(value & 0xFF);
}

}  // namespace tramvek
