// Range guards for values the audio thread reads from fields that other
// threads (host parameter calls, chunk loads, the editor) write at any time.
// Each is applied where the value is used, to a local copy.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/engine_counts.h"

namespace tramvek {

inline constexpr std::int32_t kMinSampleRate = 10000;
inline constexpr std::int32_t kFallbackSampleRate = 44100;
inline constexpr std::int32_t kFallbackTempo = 120;

// 0..1; NaN counts as 0.
inline float clampUnit(float value) {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return value < 1.0f ? value : 1.0f;
}

inline std::int32_t clampSemitones(std::int32_t semitones) {
    return std::clamp(semitones, -12, 12);
}

inline std::int32_t clampStepSamples(std::int32_t samples) {
    return std::clamp(samples, 1, EngineCounts::kMaxStepSamples);
}

inline std::int32_t clampPatternLength(std::int32_t steps) {
    return std::clamp(steps, 1, EngineCounts::kStepsPerPattern);
}

// The pattern length as a share of the longest pattern: at least 2 of 32 steps.
inline float clampPatternLengthValue(float value) {
    constexpr float kMinPatternLengthValue = 0.07f;
    return value >= kMinPatternLengthValue ? std::min(value, 1.0f) : kMinPatternLengthValue;
}

// A length or cycle that indexes the audio buffers: 1..capacity.
inline std::int32_t clampCycle(std::int32_t samples) {
    return std::clamp(samples, 1, EngineCounts::kBufferCapacity);
}

// Non-negative remainder, for counters that may come from anywhere.
inline std::int64_t wrapIndex(std::int64_t value, std::int64_t count) {
    const std::int64_t r = value % count;
    return r < 0 ? r + count : r;
}

}  // namespace tramvek
