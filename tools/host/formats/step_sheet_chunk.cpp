#include "formats/step_sheet_chunk.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_counts.h"
#include "engine/step_variation.h"
#include "host_error.h"
#include "params/chunk_layout.h"
#include "params/little_endian.h"

namespace tramvek {
namespace {

namespace layout = chunk_layout;

// The engine truncates: slot trunc(32 v), semitones trunc(24 v - 12), toward
// zero. Values in the middle of their interval survive float rounding; the
// ends (-12, +12) are held at 0 and 1.
float readPosValue(int from) {
    return (static_cast<float>(from - 1) + 0.5f) / EngineCounts::kStepsPerPattern;
}

float pitchValue(int semitones) {
    const float away = semitones >= 0 ? 0.5f : -0.5f;
    return std::clamp((static_cast<float>(semitones + 12) + away) / 24.0f, 0.0f, 1.0f);
}

float percentValue(float percent) {
    return percent / 100.0f;
}

// Where the sheet goes: the bank, pattern and program the chunk has current.
struct CurrentPlace {
    std::size_t bank = 0;
    std::size_t firstSlot = 0;
    std::size_t program = 0;
    std::size_t extension = 0;
    std::size_t variation = 0;  // the Chance and Repeat group; 0 when the chunk has none
};

std::size_t clampedIndex(const std::uint8_t* in, std::size_t offset, std::int32_t count) {
    return static_cast<std::size_t>(std::clamp<std::int32_t>(readLeI32(in, offset), 0, count - 1));
}

// The group after the trailer, when the chunk carries it whole.
std::size_t variationGroup(const std::vector<std::uint8_t>& chunk, std::size_t patternSamples) {
    const std::size_t group = layout::variationOffset(patternSamples);
    if (chunk.size() < layout::savedBankBytes(patternSamples) ||
        std::memcmp(chunk.data() + group + layout::kVarTag, layout::kVariationTag, 4) != 0 ||
        readLeU32(chunk.data() + group, layout::kVarBytes) != layout::kVariationBytes) {
        return 0;
    }
    return group;
}

CurrentPlace currentPlace(const std::vector<std::uint8_t>& chunk) {
    const std::int32_t samples = readLeI32(chunk.data(), layout::kBankPatternSamples);
    if (samples < 0 || chunk.size() < layout::bankBytes(static_cast<std::size_t>(samples))) {
        throw HostError("the plug-in's bank chunk is shorter than its audio says");
    }
    const std::size_t extension = layout::extensionOffset(static_cast<std::size_t>(samples));
    const std::uint8_t* trailer = chunk.data() + extension;
    if (std::memcmp(trailer + layout::kExtTag, layout::kExtensionTag, 4) != 0 ||
        std::memcmp(trailer + layout::kExt2Tag, layout::kProgramExtensionTag, 4) != 0) {
        throw HostError("the plug-in's bank chunk does not say which pattern and program are current");
    }
    using Counts = EngineCounts;
    return {
        clampedIndex(trailer, layout::kExtCurrentBank, Counts::kBankCount),
        clampedIndex(trailer, layout::kExtCurrentPattern, Counts::kPatternCount) * Counts::kStepsPerPattern,
        clampedIndex(trailer, layout::kExt2CurrentProgram, Counts::kProgramCount), extension,
        variationGroup(chunk, static_cast<std::size_t>(samples))};
}

void writePatternLength(std::vector<std::uint8_t>& chunk, const CurrentPlace& where, std::size_t steps) {
    const auto length = static_cast<std::int32_t>(steps);
    const std::size_t record = layout::kBankPrograms + where.program * layout::kRecordBytes;
    writeLeI32(chunk.data(), record + layout::kRecordPatternLength, length);
    writeLeI32(chunk.data(), where.extension + layout::kExt2PatternLength, length);
    writeLeF32(chunk.data(), where.extension + layout::kExt2PatternLengthValue,
               static_cast<float>(length) / EngineCounts::kStepsPerPattern);
}

void writeVariation(std::vector<std::uint8_t>& chunk, const CurrentPlace& where,
                    const std::vector<SheetStep>& steps) {
    const bool varies =
        std::any_of(steps.begin(), steps.end(), [](const SheetStep& step) { return step.variesPlays(); });
    if (where.variation == 0) {
        if (varies) {
            throw HostError("the plug-in's bank chunk carries no Chance and Repeat lanes");
        }
        return;
    }
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const auto lane = [&](std::size_t which, float value) {
            writeLeF32(
                chunk.data(),
                where.variation + layout::variationLaneOffset(where.bank, which, where.firstSlot + index),
                value);
        };
        lane(0, percentValue(steps[index].chancePercent));
        lane(1, repeatValue(steps[index].repeats));
    }
}

}  // namespace

void writeStepSheet(std::vector<std::uint8_t>& chunk, const std::vector<SheetStep>& steps) {
    if (chunk.size() < layout::kBankBytesWithoutAudio) {
        throw HostError("the plug-in's bank chunk is not a tramvek bank (" + std::to_string(chunk.size()) +
                        " bytes)");
    }
    const CurrentPlace where = currentPlace(chunk);
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const SheetStep& step = steps[index];
        const auto lane = [&](EngineCounts::Lane which, float value) {
            writeLeF32(
                chunk.data(),
                layout::stepOffset(where.bank, static_cast<std::size_t>(which), where.firstSlot + index),
                value);
        };
        lane(EngineCounts::kLaneTrigger, percentValue(step.gainPercent));
        lane(EngineCounts::kLaneLength, percentValue(step.lengthPercent));
        lane(EngineCounts::kLaneReadPos, readPosValue(step.from));
        lane(EngineCounts::kLanePitch, pitchValue(step.pitch));
        lane(EngineCounts::kLaneReverse, step.reverse ? 1.0f : 0.0f);
    }
    writeVariation(chunk, where, steps);
    writePatternLength(chunk, where, steps.size());
}

}  // namespace tramvek
