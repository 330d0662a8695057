// The eight automatable parameters: their order, names and default values,
// and how a value maps to the base pitch.
#pragma once

#include <cstdint>

namespace tramvek {

inline constexpr std::int32_t kParameterCount = 8;

enum ParamIndex : std::int32_t {
    kParamAttack = 0,
    kParamRelease = 1,
    kParamCutoff = 2,
    kParamReso = 3,
    kParamShape = 4,
    kParamDryWet = 5,
    kParamPitch = 6,
    kParamKeepBuffer = 7,
};

// The host shows the same text as name and as label.
inline constexpr const char* kParamNames[kParameterCount] = {"attack", "release", "cutoff", "reso",
                                                             "shape",  "dry/wet", "pitch",  "keepbuffer"};

inline constexpr float kDefaultParams[kParameterCount] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};

inline bool isParamIndex(std::int32_t index) {
    return index >= 0 && index < kParameterCount;
}

// -12 - trunc(-24 v) semitones, i.e. floor(24 v) - 12 for v in 0..1, held
// at -12..12 for values a host sends outside 0..1.
std::int32_t basePitchFor(float value);

}  // namespace tramvek
