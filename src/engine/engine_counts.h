// The engine's fixed sizes: what the pattern store, the programs, the MIDI
// tables and the audio buffers hold. The chunk layout is checked against these.
#pragma once

#include <cstdint>

namespace tramvek {

struct EngineCounts {
    static constexpr std::int32_t kProgramCount = 16;
    static constexpr std::int32_t kParamCount = 8;
    static constexpr std::int32_t kBankCount = 4;
    // The lanes the chunk's step store holds; Chance and Repeat come after
    // them and travel in a group of their own. The editor draws all of them.
    static constexpr std::int32_t kLaneCount = 7;
    static constexpr std::int32_t kStoredLaneCount = 9;
    static constexpr std::int32_t kMaxRepeats = 8;
    static constexpr std::int32_t kSlotCount = 650;
    static constexpr std::int32_t kPatternCount = 8;
    static constexpr std::int32_t kStepsPerPattern = 32;  // slots per pattern, longest pattern
    static constexpr std::int32_t kSliceCount = 32;
    static constexpr std::int32_t kBufferCapacity = 661000;
    static constexpr std::int32_t kMaxStepSamples = kBufferCapacity / kStepsPerPattern - 4;  // 20,652
    static constexpr std::int32_t kResolutionCount = 7;
    static constexpr std::int32_t kPitchRatioCount = 50;

    enum Lane : std::int32_t {
        kLaneTrigger = 0,
        kLaneAttack = 1,
        kLaneLength = 2,
        kLaneCutoff = 3,
        kLaneReadPos = 4,
        kLanePitch = 5,
        kLaneReverse = 6,
        kLaneChance = 7,  // 0..1: the share of plays, 1 always
        kLaneRepeat = 8,  // 0..1: 1 .. kMaxRepeats hits in the step
    };
};

}  // namespace tramvek
