#include "params/parameter_table.h"

#include <algorithm>
#include <cmath>

namespace tramvek {

std::int32_t basePitchFor(float value) {
    const double semitones = -12.0 - std::trunc(static_cast<double>(-24.0f * value));
    return static_cast<std::int32_t>(std::clamp(semitones, -12.0, 12.0));
}

}  // namespace tramvek
