#include "formats/variation_lanes.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_counts.h"
#include "engine/step_variation.h"
#include "params/chunk_layout.h"
#include "params/little_endian.h"

namespace tramvek {
namespace {

namespace layout = chunk_layout;

std::int32_t clampedIndex(const std::uint8_t* in, std::size_t offset, std::int32_t count) {
    return std::clamp<std::int32_t>(readLeI32(in, offset), 0, count - 1);
}

}  // namespace

std::optional<PatternVariation> readPatternVariation(std::span<const std::uint8_t> chunk) {
    if (chunk.size() < layout::kBankBytesWithoutAudio) {
        return std::nullopt;
    }
    const std::int32_t samples = readLeI32(chunk.data(), layout::kBankPatternSamples);
    if (samples < 0 || chunk.size() < layout::savedBankBytes(static_cast<std::size_t>(samples))) {
        return std::nullopt;
    }
    const std::uint8_t* trailer = chunk.data() + layout::extensionOffset(static_cast<std::size_t>(samples));
    const std::uint8_t* group = chunk.data() + layout::variationOffset(static_cast<std::size_t>(samples));
    if (std::memcmp(group, layout::kVariationTag, 4) != 0 ||
        readLeU32(group, layout::kVarBytes) != layout::kVariationBytes ||
        std::memcmp(trailer + layout::kExtTag, layout::kExtensionTag, 4) != 0 ||
        std::memcmp(trailer + layout::kExt2Tag, layout::kProgramExtensionTag, 4) != 0) {
        return std::nullopt;
    }
    using Counts = EngineCounts;
    PatternVariation shown;
    shown.seed = readLeU32(group, layout::kVarSeed);
    shown.bank = clampedIndex(trailer, layout::kExtCurrentBank, Counts::kBankCount);
    shown.pattern = clampedIndex(trailer, layout::kExtCurrentPattern, Counts::kPatternCount);
    const std::int32_t steps =
        std::clamp(readLeI32(trailer, layout::kExt2PatternLength), 1, Counts::kStepsPerPattern);
    for (std::int32_t step = 0; step < steps; ++step) {
        const auto slot = static_cast<std::size_t>(shown.pattern * Counts::kStepsPerPattern + step);
        const auto bank = static_cast<std::size_t>(shown.bank);
        shown.chancePercent.push_back(
            100.0f * clampUnit(readLeF32(group, layout::variationLaneOffset(bank, 0, slot))));
        shown.repeats.push_back(repeatCount(readLeF32(group, layout::variationLaneOffset(bank, 1, slot))));
    }
    return shown;
}

}  // namespace tramvek
