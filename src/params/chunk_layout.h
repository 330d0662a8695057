#pragma once

// Byte layout of the two state chunks the host stores for us. Every offset is
// fixed: songs saved by earlier versions must keep loading, so nothing here
// may move. All values are little-endian; floats are IEEE 754 single precision.

#include <cstddef>
#include <cstdint>

namespace tramvek::chunk_layout {

// One program record; the preset chunk is exactly one of these.
inline constexpr std::size_t kRecordParams = 0;          // float32[8]
inline constexpr std::size_t kRecordPatternLength = 32;  // int32
inline constexpr std::size_t kRecordName = 36;           // char[24], zero-terminated
inline constexpr std::size_t kRecordNameBytes = 24;
inline constexpr std::size_t kRecordBytes = 60;
inline constexpr std::size_t kPresetBytes = kRecordBytes;

// The bank chunk: all programs, the step store, the MIDI tables and the frozen audio.
inline constexpr std::size_t kBankPrograms = 0;              // 16 records
inline constexpr std::size_t kBankSteps = 960;               // float32[4][7][650]
inline constexpr std::size_t kBankParamControllers = 73760;  // int32[8]
inline constexpr std::size_t kBankPatternNotes = 73792;      // int32[8]
inline constexpr std::size_t kBankFreeze = 73824;            // uint8
inline constexpr std::size_t kBankPatternSamples = 73828;    // int32 N
inline constexpr std::size_t kBankSliceNotes = 73832;        // int32[32]
inline constexpr std::size_t kBankAudio = 73960;             // float32[N] left, then float32[N] right
inline constexpr std::size_t kBankTrailerBytes = 1004;       // after the audio
inline constexpr std::size_t kBankBytesWithoutAudio = kBankAudio + kBankTrailerBytes;  // 74964
// What a bank load answers the host: a fixed number, not the bytes read.
inline constexpr std::int32_t kBankLoadAnswer = 73964;

// Settings the original layout does not carry, kept in the first bytes of the
// trailer so that older chunks (whose trailer is unspecified) still load.
inline constexpr char kExtensionTag[4] = {'T', 'V', 'X', '1'};
inline constexpr std::size_t kExtTag = 0;
inline constexpr std::size_t kExtResolutionIndex = 4;   // int32
inline constexpr std::size_t kExtShuffle = 8;           // float32
inline constexpr std::size_t kExtCurrentBank = 12;      // int32
inline constexpr std::size_t kExtCurrentPattern = 16;   // int32
inline constexpr std::size_t kExtNoteToSliceMode = 20;  // int32, 0 or 1
inline constexpr std::size_t kExtensionBytes = 24;
// A second group right after the first: builds that know only the first read
// its 24 bytes and never look further, and chunks saved before the second
// group existed (no second tag) load as they always did.
inline constexpr char kProgramExtensionTag[4] = {'T', 'V', 'X', '2'};
inline constexpr std::size_t kExt2Tag = 24;
inline constexpr std::size_t kExt2CurrentProgram = 28;      // int32, 0..15
inline constexpr std::size_t kExt2PatternLength = 32;       // int32, the engine's steps, 2..32
inline constexpr std::size_t kExt2PatternLengthValue = 36;  // float32, as the editor shows it
inline constexpr std::size_t kExtension2Bytes = 40;
static_assert(kExt2Tag == kExtensionBytes);
static_assert(kExtension2Bytes <= kBankTrailerBytes);

// A third group after the trailer, where today's chunk ends, so that nothing
// before it moves: builds without it ignore the bytes after the trailer.
// Chance and Repeat of every slot of every bank, and the seed Chance draws from.
inline constexpr char kVariationTag[4] = {'T', 'V', 'X', '3'};
inline constexpr std::size_t kVarTag = 0;
inline constexpr std::size_t kVarBytes = 4;   // uint32, the group's size: kVariationBytes
inline constexpr std::size_t kVarSeed = 8;    // uint32
inline constexpr std::size_t kVarLanes = 12;  // float32[4][2][650]: bank, lane (Chance, Repeat), slot
inline constexpr std::size_t kVariationLaneCount = 2;

inline constexpr std::size_t kBankCount = 4;
inline constexpr std::size_t kLaneCount = 7;
inline constexpr std::size_t kSlotCount = 650;
inline constexpr std::size_t kProgramCount = 16;
inline constexpr std::size_t kParamCount = 8;
inline constexpr std::size_t kPatternNoteCount = 8;
inline constexpr std::size_t kSliceNoteCount = 32;
static_assert(kBankSteps == kBankPrograms + kProgramCount * kRecordBytes);
static_assert(kBankParamControllers == kBankSteps + 4 * kBankCount * kLaneCount * kSlotCount);
static_assert(kBankPatternNotes == kBankParamControllers + 4 * kParamCount);
static_assert(kBankFreeze == kBankPatternNotes + 4 * kPatternNoteCount);
static_assert(kBankAudio == kBankSliceNotes + 4 * kSliceNoteCount);
static_assert(kBankSliceNotes == kBankPatternSamples + 4);
static_assert(kRecordPatternLength == kRecordParams + 4 * kParamCount);
static_assert(kRecordName == kRecordPatternLength + 4);
static_assert(kRecordBytes == kRecordName + kRecordNameBytes);
static_assert(kBankBytesWithoutAudio == 74964);

inline constexpr std::size_t kVariationBytes = kVarLanes + 4 * kBankCount * kVariationLaneCount * kSlotCount;
static_assert(kVariationBytes == 20812);

// Offset of bank b, lane l, slot s in the step store.
constexpr std::size_t stepOffset(std::size_t bank, std::size_t lane, std::size_t slot) {
    return kBankSteps + 4 * (bank * kLaneCount * kSlotCount + lane * kSlotCount + slot);
}

// Size of a bank chunk that carries N samples per channel.
constexpr std::size_t bankBytes(std::size_t patternSamples) {
    return kBankBytesWithoutAudio + 8 * patternSamples;
}

// Where the trailer (and our extension) starts in a bank chunk with N samples.
constexpr std::size_t extensionOffset(std::size_t patternSamples) {
    return kBankAudio + 8 * patternSamples;
}

// Where the variation group starts, and its lane l (0 Chance, 1 Repeat) of bank b, slot s.
constexpr std::size_t variationOffset(std::size_t patternSamples) {
    return bankBytes(patternSamples);
}

constexpr std::size_t variationLaneOffset(std::size_t bank, std::size_t lane, std::size_t slot) {
    return kVarLanes + 4 * (bank * kVariationLaneCount * kSlotCount + lane * kSlotCount + slot);
}

// What a bank save writes: today's chunk, then the variation group.
constexpr std::size_t savedBankBytes(std::size_t patternSamples) {
    return variationOffset(patternSamples) + kVariationBytes;
}

}  // namespace tramvek::chunk_layout
