// Per-step Chance and Repeat as numbers: whether a step plays is a pure
// function of the seed, the step's index from the song's start and its slot,
// so a bounce plays the same steps as the take; Repeat splits the step into
// evenly spaced hits.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/engine_counts.h"
#include "engine/engine_limits.h"

namespace tramvek {

// A step at the defaults plays every time, in one hit.
inline constexpr float kDefaultChance = 1.0f;
inline constexpr float kDefaultRepeat = 0.0f;

// The splitmix64 finaliser: every input bit reaches every output bit.
constexpr std::uint64_t mixBits(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [0, 1), 24 bits, the same on every platform.
constexpr float variationDraw(std::uint32_t seed, std::int64_t step, std::int32_t slot) {
    const std::uint64_t key =
        mixBits(static_cast<std::uint64_t>(seed) ^ static_cast<std::uint64_t>(step) * 0x9E3779B97F4A7C15ull) ^
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(slot));
    return static_cast<float>(mixBits(key) >> 40) * 0x1p-24f;
}

// A Chance of 1 plays without a draw, so steps at the default play as they always did.
inline bool stepPlays(float chance, std::uint32_t seed, std::int64_t step, std::int32_t slot) {
    const float share = clampUnit(chance);
    return share >= 1.0f || variationDraw(seed, step, slot) < share;
}

// The Repeat lane's 0..1 as hits, 1 .. kMaxRepeats; its inverse for showing and writing it.
inline std::int32_t repeatCount(float value) {
    return 1 + static_cast<std::int32_t>(clampUnit(value) * (EngineCounts::kMaxRepeats - 1) + 0.5f);
}

inline float repeatValue(std::int32_t hits) {
    const std::int32_t count =
        hits < 1 ? 1 : (hits > EngineCounts::kMaxRepeats ? EngineCounts::kMaxRepeats : hits);
    return static_cast<float>(count - 1) / static_cast<float>(EngineCounts::kMaxRepeats - 1);
}

// Samples from a step's start to its hit `hit` of `count`.
inline std::int64_t hitOffset(std::int32_t hit, std::int32_t count, double stepLength) {
    return std::llround(static_cast<double>(hit) * stepLength / static_cast<double>(count));
}

}  // namespace tramvek
