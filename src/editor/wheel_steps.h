// The wheel's fine steps: a 0..1 value moved by whole levels of the number
// the user sees, one level per notch.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tramvek {

// `value` (0..1, shown as trunc(levels x value)) moved by `distance` notches;
// the result sits in the middle of its level, so that the shown number moves by
// exactly one per notch whatever the float rounding, and stays within 0..1.
inline float wheelStepped(float value, float distance, int32_t levels) {
    if (!(distance != 0.0f)) {
        return value;
    }
    // A fraction of a notch (fine-grained wheels) still moves by one.
    const float notches = std::copysign(std::max(1.0f, std::round(std::fabs(distance))), distance);
    const float level = std::floor(std::clamp(value, 0.0f, 1.0f) * static_cast<float>(levels));
    return std::clamp((level + notches + 0.5f) / static_cast<float>(levels), 0.0f, 1.0f);
}

}  // namespace tramvek
