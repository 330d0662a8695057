// Chance and Repeat of the pattern a tramvek bank chunk has current, as
// `state` shows them: read from the group after the chunk's trailer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tramvek {

struct PatternVariation {
    std::uint32_t seed = 0;
    std::int32_t bank = 0;
    std::int32_t pattern = 0;
    std::vector<float> chancePercent;  // one per step of the pattern
    std::vector<std::int32_t> repeats;
};

// Nothing when the chunk carries no whole variation group.
std::optional<PatternVariation> readPatternVariation(std::span<const std::uint8_t> chunk);

}  // namespace tramvek
