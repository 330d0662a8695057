#include "formats/step_sheet_chunk.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_counts.h"
#include "formats/byte_order.h"
#include "host_error.h"
#include "params/chunk_layout.h"

namespace tramvek {
namespace {

namespace layout = chunk_layout;

// The engine truncates: slot trunc(32 v), semitones trunc(24 v - 12). Values in
// the middle of their interval survive float rounding.
float readPosValue(int from) {
    return (static_cast<float>(from - 1) + 0.5f) / EngineCounts::kStepsPerPattern;
}

float pitchValue(int semitones) {
    const float away = semitones >= 0 ? 0.5f : -0.5f;
    return std::clamp((static_cast<float>(semitones + 12) + away) / 24.0f, 0.0f, 1.0f);
}

std::int32_t readI32Le(const std::vector<std::uint8_t>& chunk, std::size_t offset) {
    return static_cast<std::int32_t>(readU32Le(chunk.data() + offset));
}

void storeFloat(std::vector<std::uint8_t>& chunk, std::size_t offset, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    storeU32Le(chunk.data() + offset, bits);
}

struct CurrentPattern {
    std::size_t bank = 0;
    std::size_t firstSlot = 0;
};

// The extension says which bank and pattern play; chunks without it play the first.
CurrentPattern currentPattern(const std::vector<std::uint8_t>& chunk, std::size_t patternSamples) {
    const std::size_t extension = layout::extensionOffset(patternSamples);
    if (std::memcmp(chunk.data() + extension + layout::kExtTag, layout::kExtensionTag, 4) != 0) {
        return {};
    }
    const auto bank = std::clamp<std::int32_t>(readI32Le(chunk, extension + layout::kExtCurrentBank), 0,
                                               EngineCounts::kBankCount - 1);
    const auto pattern = std::clamp<std::int32_t>(readI32Le(chunk, extension + layout::kExtCurrentPattern), 0,
                                                  EngineCounts::kPatternCount - 1);
    return {static_cast<std::size_t>(bank),
            static_cast<std::size_t>(pattern * EngineCounts::kStepsPerPattern)};
}

}  // namespace

void writeStepSheet(std::vector<std::uint8_t>& chunk, const std::vector<SheetStep>& steps) {
    if (chunk.size() < layout::kBankBytesWithoutAudio) {
        throw HostError("the plug-in's bank chunk is not a tramvek bank (" + std::to_string(chunk.size()) +
                        " bytes)");
    }
    const std::int32_t samples = readI32Le(chunk, layout::kBankPatternSamples);
    if (samples < 0 || chunk.size() < layout::bankBytes(static_cast<std::size_t>(samples))) {
        throw HostError("the plug-in's bank chunk is shorter than its frozen audio says");
    }
    const CurrentPattern where = currentPattern(chunk, static_cast<std::size_t>(samples));
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const SheetStep& step = steps[index];
        const auto lane = [&](EngineCounts::Lane which, float value) {
            storeFloat(
                chunk,
                layout::stepOffset(where.bank, static_cast<std::size_t>(which), where.firstSlot + index),
                value);
        };
        lane(EngineCounts::kLaneTrigger, step.gain);
        lane(EngineCounts::kLaneLength, step.length);
        lane(EngineCounts::kLaneReadPos, readPosValue(step.from));
        lane(EngineCounts::kLanePitch, pitchValue(step.pitch));
        lane(EngineCounts::kLaneReverse, step.reverse ? 1.0f : 0.0f);
    }
}

}  // namespace tramvek
