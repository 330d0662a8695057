#include "params/parameter_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tramvek {

std::int32_t basePitchFor(float value) {
    const double semitones = -12.0 - std::trunc(static_cast<double>(-24.0f * value));
    return static_cast<std::int32_t>(std::clamp(semitones, -12.0, 12.0));
}

std::int32_t displayUnits(std::int32_t index, float value) {
    if (!isParamIndex(index)) {
        return 0;
    }
    const float unit = value >= 0.0f ? std::min(value, 1.0f) : 0.0f;  // NaN shows as 0
    if (index == kParamPitch) {
        return basePitchFor(unit);
    }
    return static_cast<std::int32_t>(unit * 100.0f);
}

// The middle of the values that show as `units`, so that rounding on the way
// back cannot land on a neighbour.
float valueForDisplayUnits(std::int32_t index, std::int32_t units) {
    if (!isParamIndex(index)) {
        return 0.0f;
    }
    const ParameterFacts& facts = kParameterFacts[index];
    const std::int32_t held = std::clamp(units, facts.displayMinimum, facts.displayMaximum);
    const auto span = static_cast<double>(facts.displayMaximum - facts.displayMinimum);
    if (held == facts.displayMaximum) {
        return 1.0f;
    }
    return static_cast<float>((held - facts.displayMinimum + 0.5) / span);
}

void displayText(std::int32_t index, float value, char* text) {
    std::snprintf(text, 12, "%d", static_cast<int>(displayUnits(index, value)));
}

bool valueFromText(std::int32_t index, const char* text, float& value) {
    if (!isParamIndex(index) || text == nullptr) {
        return false;
    }
    char* end = nullptr;
    const long units = std::strtol(text, &end, 10);
    if (end == text) {
        return false;
    }
    const long held = std::clamp<long>(units, -1000, 1000);
    value = valueForDisplayUnits(index, static_cast<std::int32_t>(held));
    return true;
}

}  // namespace tramvek
