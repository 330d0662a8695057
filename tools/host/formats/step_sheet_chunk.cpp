#include "formats/step_sheet_chunk.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_counts.h"
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
};

std::size_t clampedIndex(const std::uint8_t* in, std::size_t offset, std::int32_t count) {
    return static_cast<std::size_t>(std::clamp<std::int32_t>(readLeI32(in, offset), 0, count - 1));
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
        clampedIndex(trailer, layout::kExt2CurrentProgram, Counts::kProgramCount), extension};
}

void writePatternLength(std::vector<std::uint8_t>& chunk, const CurrentPlace& where, std::size_t steps) {
    const auto length = static_cast<std::int32_t>(steps);
    const std::size_t record = layout::kBankPrograms + where.program * layout::kRecordBytes;
    writeLeI32(chunk.data(), record + layout::kRecordPatternLength, length);
    writeLeI32(chunk.data(), where.extension + layout::kExt2PatternLength, length);
    writeLeF32(chunk.data(), where.extension + layout::kExt2PatternLengthValue,
               static_cast<float>(length) / EngineCounts::kStepsPerPattern);
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
    writePatternLength(chunk, where, steps.size());
}

}  // namespace tramvek
