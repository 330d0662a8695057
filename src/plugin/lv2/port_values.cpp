#include "plugin/lv2/port_values.h"

#include <algorithm>
#include <cmath>

#include "params/parameter_table.h"

namespace tramvek::lv2 {
namespace {

float lowest(std::int32_t index) {
    return static_cast<float>(kParameterFacts[index].displayMinimum);
}

float span(std::int32_t index) {
    const ParameterFacts& facts = kParameterFacts[index];
    return static_cast<float>(facts.displayMaximum - facts.displayMinimum);
}

}  // namespace

bool portIsInteger(std::int32_t index) {
    return index == kParamPitch;
}

float portValueFor(std::int32_t index, float value) {
    if (!isParamIndex(index)) {
        return 0.0f;
    }
    if (portIsInteger(index)) {
        return static_cast<float>(displayUnits(index, value));
    }
    // In float, as the way back divides: 0.8 shows as 80 and 80 comes back as 0.8.
    return lowest(index) + std::clamp(value, 0.0f, 1.0f) * span(index);
}

float engineValueFor(std::int32_t index, float port) {
    if (!isParamIndex(index) || !std::isfinite(port)) {
        return 0.0f;
    }
    if (portIsInteger(index)) {
        return valueForDisplayUnits(index,
                                    static_cast<std::int32_t>(std::lround(std::clamp(port, -1e6f, 1e6f))));
    }
    const float held = std::clamp(port, lowest(index), lowest(index) + span(index));
    const float value = (held - lowest(index)) / span(index);
    // The nearest float to 53 / 100 shows as 52: the next one up shows as 53.
    if (static_cast<float>(displayUnits(index, value)) < std::floor(held)) {
        return std::nextafter(value, 1.0f);
    }
    return value;
}

}  // namespace tramvek::lv2
