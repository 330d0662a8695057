// Saving and restoring the whole state through the host's chunks. A chunk may
// come from a damaged or hostile file: it is checked completely before any of
// the state changes, and every value the engine would trust is made safe.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/engine_limits.h"
#include "engine/shared_samples.h"
#include "engine/slicer_engine.h"
#include "engine/step_variation.h"
#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "params/program_record.h"

namespace tramvek {
namespace {

namespace layout = chunk_layout;

// The layout's counts are the engine's: a change to either shows here.
static_assert(layout::kProgramCount == SlicerEngine::kProgramCount);
static_assert(layout::kParamCount == SlicerEngine::kParamCount);
static_assert(layout::kBankCount == SlicerEngine::kBankCount);
static_assert(layout::kLaneCount == SlicerEngine::kLaneCount);
static_assert(layout::kSlotCount == SlicerEngine::kSlotCount);
static_assert(layout::kPatternNoteCount == SlicerEngine::kPatternCount);
static_assert(layout::kSliceNoteCount == SlicerEngine::kSliceCount);
static_assert(layout::kRecordBytes == sizeof(ProgramRecord));
static_assert(layout::kRecordNameBytes == sizeof(ProgramRecord::name));

// The shortest length the editor sets (0.07 of 32 steps) and the longest pattern.
constexpr std::int32_t kMinPatternLength = 2;
constexpr std::int32_t kMaxPatternLength = SlicerEngine::kStepsPerPattern;
constexpr std::int32_t kMaxMidiNumber = 127;

// --- Values a file can carry, made safe ---

// A lane value outside 0..1 is held at the nearer end; one that is no number
// at all leaves the slot as it was.
float safeLaneValue(float stored, float current) {
    return std::isfinite(stored) ? std::clamp(stored, 0.0f, 1.0f) : current;
}

// Parameter values are kept as saved (hosts may set any finite value and the
// engine maps every one safely); NaN or infinity leaves the value as it was.
float safeParamValue(float stored, float current) {
    return std::isfinite(stored) ? stored : current;
}

std::int32_t safePatternLength(std::int32_t stored) {
    return std::clamp(stored, kMinPatternLength, kMaxPatternLength);
}

// Frozen audio: no number becomes silence, and samples are held 120 dB above
// full scale, far beyond any recording, so that interpolation, gain and filter
// cannot overflow to infinity.
constexpr float kMaxSampleMagnitude = 1.0e6f;
float safeSample(float stored) {
    return std::isfinite(stored) ? std::clamp(stored, -kMaxSampleMagnitude, kMaxSampleMagnitude) : 0.0f;
}

// 0 means "none" in every MIDI table.
std::int32_t safeMidiNumber(std::int32_t stored) {
    return stored >= 0 && stored <= kMaxMidiNumber ? stored : 0;
}

// --- Program records ---

void writeProgramRecord(std::uint8_t* out, const StoredProgram& record) {
    for (std::size_t i = 0; i < layout::kParamCount; ++i) {
        writeLeF32(out, layout::kRecordParams + 4 * i, record.params[i]);
    }
    writeLeI32(out, layout::kRecordPatternLength, record.patternLength);
    // Bytes after the terminator are written as zeros so that equal states save equal chunks.
    std::memset(out + layout::kRecordName, 0, layout::kRecordNameBytes);
    std::memcpy(out + layout::kRecordName, record.name, strnlen(record.name, layout::kRecordNameBytes - 1));
}

// The values go with the settings, on the applying thread; the name is the host's thread's.
void readProgramValues(const std::uint8_t* in, StoredProgram& record) {
    for (std::size_t i = 0; i < layout::kParamCount; ++i) {
        record.params[i] = safeParamValue(readLeF32(in, layout::kRecordParams + 4 * i), record.params[i]);
    }
    record.patternLength = safePatternLength(readLeI32(in, layout::kRecordPatternLength));
}

void readProgramName(const std::uint8_t* in, StoredProgram& record) {
    storeProgramName(record.name, reinterpret_cast<const char*>(in + layout::kRecordName),
                     layout::kRecordNameBytes);
}

// --- Tables ---

void writeInt32Table(std::uint8_t* out, std::size_t offset, const Shared<std::int32_t>* table,
                     std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        writeLeI32(out, offset + 4 * i, table[i]);
    }
}

void readMidiTable(const std::uint8_t* in, std::size_t offset, Shared<std::int32_t>* table,
                   std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        table[i] = safeMidiNumber(readLeI32(in, offset + 4 * i));
    }
}

void writeSamples(std::uint8_t* out, std::size_t offset, const Shared<float>* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        writeLeF32(out, offset + 4 * i, samples[i]);
    }
}

void writeSamples(std::uint8_t* out, std::size_t offset, const SampleReader& samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        writeLeF32(out, offset + 4 * i, samples[static_cast<std::int32_t>(i)]);
    }
}

void readSamples(const std::uint8_t* in, std::size_t offset, float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        storeSample(samples, static_cast<std::int32_t>(i), safeSample(readLeF32(in, offset + 4 * i)));
    }
}

// --- The settings extension in the bank chunk's trailer ---

struct ExtensionSettings {
    std::int32_t resolutionIndex;
    float shuffle;
    std::int32_t currentBank;
    std::int32_t currentPattern;
    std::int32_t noteToSliceMode;
};

bool inRange(std::int32_t value, std::int32_t count) {
    return value >= 0 && value < count;
}

bool isValid(const ExtensionSettings& settings) {
    return inRange(settings.resolutionIndex, SlicerEngine::kResolutionCount) && settings.shuffle >= 0.0f &&
           settings.shuffle <= 1.0f && inRange(settings.currentBank, SlicerEngine::kBankCount) &&
           inRange(settings.currentPattern, SlicerEngine::kPatternCount) &&
           inRange(settings.noteToSliceMode, 2);
}

ExtensionSettings readExtension(const std::uint8_t* in) {
    return {readLeI32(in, layout::kExtResolutionIndex), readLeF32(in, layout::kExtShuffle),
            readLeI32(in, layout::kExtCurrentBank), readLeI32(in, layout::kExtCurrentPattern),
            readLeI32(in, layout::kExtNoteToSliceMode)};
}

void writeExtension(std::uint8_t* out, const ExtensionSettings& settings) {
    std::memcpy(out + layout::kExtTag, layout::kExtensionTag, sizeof layout::kExtensionTag);
    writeLeI32(out, layout::kExtResolutionIndex, settings.resolutionIndex);
    writeLeF32(out, layout::kExtShuffle, settings.shuffle);
    writeLeI32(out, layout::kExtCurrentBank, settings.currentBank);
    writeLeI32(out, layout::kExtCurrentPattern, settings.currentPattern);
    writeLeI32(out, layout::kExtNoteToSliceMode, settings.noteToSliceMode);
}

bool hasTag(const std::uint8_t* in, std::size_t offset, const char (&tag)[4]) {
    return std::memcmp(in + offset, tag, sizeof tag) == 0;
}

// The second group: which program was current, and the engine's pattern
// length, which the editor may have set apart from the program's.
struct ProgramSettings {
    std::int32_t currentProgram;
    std::int32_t patternLength;
    float patternLengthValue;
};

bool isValid(const ProgramSettings& settings) {
    return inRange(settings.currentProgram, SlicerEngine::kProgramCount) &&
           settings.patternLength >= kMinPatternLength && settings.patternLength <= kMaxPatternLength &&
           settings.patternLengthValue >= 0.0f && settings.patternLengthValue <= 1.0f;
}

ProgramSettings readProgramSettings(const std::uint8_t* in) {
    return {readLeI32(in, layout::kExt2CurrentProgram), readLeI32(in, layout::kExt2PatternLength),
            readLeF32(in, layout::kExt2PatternLengthValue)};
}

void writeProgramSettings(std::uint8_t* out, const ProgramSettings& settings) {
    std::memcpy(out + layout::kExt2Tag, layout::kProgramExtensionTag, sizeof layout::kProgramExtensionTag);
    writeLeI32(out, layout::kExt2CurrentProgram, settings.currentProgram);
    writeLeI32(out, layout::kExt2PatternLength, settings.patternLength);
    writeLeF32(out, layout::kExt2PatternLengthValue, settings.patternLengthValue);
}

// What a bank chunk's fixed part says about the audio that follows it.
struct BankShape {
    bool frozen;
    std::int32_t patternSamples;
};

BankShape readBankShape(const std::uint8_t* in) {
    return {in[layout::kBankFreeze] != 0, readLeI32(in, layout::kBankPatternSamples)};
}

// A bank chunk is taken only whole: its fixed part must be there, N must fit
// the play buffers, and frozen audio must lie inside the chunk.
bool isLoadableBank(std::size_t byteSize, const BankShape& shape) {
    if (byteSize < layout::kBankAudio) {
        return false;
    }
    if (!inRange(shape.patternSamples, SlicerEngine::kBufferCapacity)) {
        return false;
    }
    const auto audioEnd = layout::extensionOffset(static_cast<std::size_t>(shape.patternSamples));
    return !shape.frozen || byteSize >= audioEnd;
}

// --- The variation group after the trailer ---

using StepStore = decltype(EngineState::steps);
constexpr SlicerEngine::Lane kVariationLanes[layout::kVariationLaneCount] = {SlicerEngine::kLaneChance,
                                                                             SlicerEngine::kLaneRepeat};
constexpr float kVariationDefaults[layout::kVariationLaneCount] = {kDefaultChance, kDefaultRepeat};

void writeVariation(std::uint8_t* out, const StepStore& steps, std::uint32_t seed) {
    std::memcpy(out + layout::kVarTag, layout::kVariationTag, sizeof layout::kVariationTag);
    writeLeU32(out, layout::kVarBytes, static_cast<std::uint32_t>(layout::kVariationBytes));
    writeLeU32(out, layout::kVarSeed, seed);
    for (std::size_t b = 0; b < layout::kBankCount; ++b) {
        for (std::size_t l = 0; l < layout::kVariationLaneCount; ++l) {
            writeSamples(out, layout::variationLaneOffset(b, l, 0), steps[b][kVariationLanes[l]],
                         layout::kSlotCount);
        }
    }
}

// `in` holds `size` bytes from where the group would start. A group cut short
// or of another size is refused whole: the bank then loads as one saved
// without it, every step at the defaults.
bool isWholeVariation(const std::uint8_t* in, std::size_t size) {
    return size >= layout::kVariationBytes && std::memcmp(in, layout::kVariationTag, 4) == 0 &&
           readLeU32(in, layout::kVarBytes) == layout::kVariationBytes;
}

void readVariation(const std::uint8_t* group, StepStore& steps, Shared<std::uint32_t>& seed) {
    seed = group != nullptr ? readLeU32(group, layout::kVarSeed) : 0;
    for (std::size_t b = 0; b < layout::kBankCount; ++b) {
        for (std::size_t l = 0; l < layout::kVariationLaneCount; ++l) {
            for (std::size_t s = 0; s < layout::kSlotCount; ++s) {
                const float fallback = kVariationDefaults[l];
                steps[b][kVariationLanes[l]][s] =
                    group != nullptr
                        ? safeLaneValue(readLeF32(group, layout::variationLaneOffset(b, l, s)), fallback)
                        : fallback;
            }
        }
    }
}

}  // namespace

SlicerEngine::SavedBytes SlicerEngine::saveState(bool preset) {
    settleCommands();
    loadedAudio.release();
    return preset ? savePreset() : saveBank();
}

bool SlicerEngine::loadState(const std::uint8_t* data, std::size_t size, bool preset) {
    if (data == nullptr) {
        return false;
    }
    settleCommands();
    return preset ? loadPreset(data, size) : loadBank(data, size);
}

SlicerEngine::SavedBytes SlicerEngine::savePreset() {
    writeProgramRecord(presetChunkOut, currentProgramRecord());
    return {presetChunkOut, static_cast<std::int32_t>(layout::kPresetBytes)};
}

SlicerEngine::SavedBytes SlicerEngine::saveBank() {
    // The audio thread changes patternSamples at every step: read it once.
    const std::int32_t samples = std::clamp(patternSamples.load(), 0, kBufferCapacity - 1);
    const auto size = layout::bankBytes(static_cast<std::size_t>(samples));
    if (!chunkData) {
        // Zeroed pages the saves never write stay untouched, so not resident.
        chunkData.reset(static_cast<std::uint8_t*>(std::calloc(kChunkCapacity, 1)));
    }
    if (!chunkData) {
        return {};
    }
    std::uint8_t* out = chunkData.get();
    for (std::size_t p = 0; p < layout::kProgramCount; ++p) {
        writeProgramRecord(out + layout::kBankPrograms + p * layout::kRecordBytes, programs[p]);
    }
    for (std::size_t b = 0; b < layout::kBankCount; ++b) {
        for (std::size_t l = 0; l < layout::kLaneCount; ++l) {
            writeSamples(out, layout::stepOffset(b, l, 0), steps[b][l], layout::kSlotCount);
        }
    }
    writeInt32Table(out, layout::kBankParamControllers, paramControllers, layout::kParamCount);
    writeInt32Table(out, layout::kBankPatternNotes, patternNotes, layout::kPatternNoteCount);
    const bool frozen = freeze;
    std::memset(out + layout::kBankFreeze, 0, layout::kBankPatternSamples - layout::kBankFreeze);
    out[layout::kBankFreeze] = frozen ? 1 : 0;
    writeLeI32(out, layout::kBankPatternSamples, samples);
    writeInt32Table(out, layout::kBankSliceNotes, sliceNotes, layout::kSliceNoteCount);

    const auto count = static_cast<std::size_t>(samples);
    if (frozen) {
        readVisibleAudio([&](const SampleReader& left, const SampleReader& right) {
            writeSamples(out, layout::kBankAudio, left, count);
            writeSamples(out, layout::kBankAudio + 4 * count, right, count);
        });
    } else {
        std::memset(out + layout::kBankAudio, 0, 8 * count);
    }

    std::uint8_t* trailer = out + layout::extensionOffset(count);
    std::memset(trailer, 0, layout::kBankTrailerBytes);
    writeExtension(trailer, {resolutionIndex, shuffle, currentBank, currentPattern, noteToSliceMode ? 1 : 0});
    writeProgramSettings(trailer, {playingProgramIndex(), patternLength, patternLengthValue});
    writeVariation(out + size, steps, variationSeed);
    return {out, static_cast<std::int32_t>(size + layout::kVariationBytes)};
}

// A load is checked whole on the host's thread, which also takes the names
// and the frozen audio (through loadedAudio). The settings travel as a copy
// of the chunk without its audio, applied by the applying thread (the audio
// thread at its next call, or this thread while none runs); the load returns
// once they are applied, so a save after it sees them.
bool SlicerEngine::loadPreset(const std::uint8_t* in, std::size_t size) {
    if (size < layout::kPresetBytes) {
        return false;
    }
    readProgramName(in, programs[currentProgramIndex()]);
    handOverLoad(in, layout::kPresetBytes, nullptr, 0, PendingLoad{nullptr, 0, true, false, 0});
    return true;
}

bool SlicerEngine::loadBank(const std::uint8_t* in, std::size_t size) {
    const BankShape shape = size >= layout::kBankAudio ? readBankShape(in) : BankShape{false, -1};
    if (!isLoadableBank(size, shape)) {
        return false;
    }
    // The loaded audio is written apart from what the audio thread plays; a
    // load the audio thread has not taken yet gives way to this one.
    if (shape.frozen ? !loadedAudio.reserve() : (loadedAudio.cancel(), false)) {
        return false;
    }
    for (std::size_t p = 0; p < layout::kProgramCount; ++p) {
        readProgramName(in + layout::kBankPrograms + p * layout::kRecordBytes, programs[p]);
    }
    const auto count = static_cast<std::size_t>(shape.patternSamples);
    if (shape.frozen) {
        readSamples(in, layout::kBankAudio, loadedAudio.channel(0), count);
        readSamples(in, layout::kBankAudio + 4 * count, loadedAudio.channel(1), count);
        // Taken at a block start after any flush before it, so the user's last word stands.
        loadedAudio.publish(shape.patternSamples);
    }
    // What follows the audio: the trailer groups, as far as the chunk has them.
    const std::size_t audioEnd = layout::extensionOffset(count);
    const std::size_t tail =
        size > audioEnd ? std::min(size - audioEnd, layout::kBankTrailerBytes + layout::kVariationBytes) : 0;
    handOverLoad(in, layout::kBankAudio, in + audioEnd, tail,
                 PendingLoad{nullptr, 0, false, shape.frozen, shape.patternSamples});
    return true;
}

void SlicerEngine::handOverLoad(const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail,
                                std::size_t tailSize, PendingLoad load) {
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[headSize + tailSize]);
    if (!bytes) {
        return;
    }
    std::memcpy(bytes.get(), head, headSize);
    if (tailSize > 0) {
        std::memcpy(bytes.get() + headSize, tail, tailSize);
    }
    load.bytes = bytes.get();
    load.size = headSize + tailSize;
    pendingLoad_ = load;
    postSurely({EngineCommand::Kind::kApplyLoad}, CommandSource::kHost);
    settleCommands();
    pendingLoad_ = {};
}

void SlicerEngine::applyPendingLoad() {
    const PendingLoad load = pendingLoad_;
    if (load.bytes == nullptr) {
        return;
    }
    if (load.preset) {
        const std::int32_t program = playingProgramIndex();
        readProgramValues(load.bytes, programs[program]);
        applyProgram(program);
    } else {
        applyBankSettings(load);
    }
    mirrorProgram();
    notifyListener(true);
}

// The bank's settings from a copy without the audio: the trailer groups
// start where they would after no audio at all.
void SlicerEngine::applyBankSettings(const PendingLoad& load) {
    const std::uint8_t* in = load.bytes;
    const std::size_t size = load.size;
    for (std::size_t p = 0; p < layout::kProgramCount; ++p) {
        readProgramValues(in + layout::kBankPrograms + p * layout::kRecordBytes, programs[p]);
    }
    for (std::size_t b = 0; b < layout::kBankCount; ++b) {
        for (std::size_t l = 0; l < layout::kLaneCount; ++l) {
            for (std::size_t s = 0; s < layout::kSlotCount; ++s) {
                steps[b][l][s] = safeLaneValue(readLeF32(in, layout::stepOffset(b, l, s)), steps[b][l][s]);
            }
        }
    }
    readMidiTable(in, layout::kBankSliceNotes, sliceNotes, layout::kSliceNoteCount);
    readMidiTable(in, layout::kBankParamControllers, paramControllers, layout::kParamCount);
    readMidiTable(in, layout::kBankPatternNotes, patternNotes, layout::kPatternNoteCount);

    freeze = load.frozen;
    patternSamples = load.patternSamples;

    // The trailer may be missing from an unfrozen chunk, and older chunks
    // carry neither group, or only the first.
    const std::size_t extension = layout::extensionOffset(0);
    const bool extended = size >= extension + layout::kExtensionBytes &&
                          hasTag(in + extension, layout::kExtTag, layout::kExtensionTag);
    if (extended) {
        const ExtensionSettings settings = readExtension(in + extension);
        if (isValid(settings)) {
            resolutionIndex = settings.resolutionIndex;
            shuffle = settings.shuffle;
            selectBank(settings.currentBank);
            selectPattern(settings.currentPattern);
            noteToSliceMode = settings.noteToSliceMode != 0;
        }
    }
    const bool withProgram = extended && size >= extension + layout::kExtension2Bytes &&
                             hasTag(in + extension, layout::kExt2Tag, layout::kProgramExtensionTag);
    const ProgramSettings settings =
        withProgram ? readProgramSettings(in + extension) : ProgramSettings{-1, 0, 0.0f};

    const std::size_t variation = layout::variationOffset(0);
    const bool varied = size > variation && isWholeVariation(in + variation, size - variation);
    readVariation(varied ? in + variation : nullptr, steps, variationSeed);

    // The bank plays as saved whether the host selects a program after it,
    // before it, or never: the current program's values reach the engine now.
    if (isValid(settings)) {
        applyProgram(settings.currentProgram);
        patternLength = settings.patternLength;
        patternLengthValue = settings.patternLengthValue;
    } else {
        applyProgram(playingProgramIndex());
    }
}

bool SlicerEngine::loadFrozenAudio(const float* left, const float* right, std::int32_t samples) {
    settleCommands();  // edits made before the drop apply before it
    if (left == nullptr || right == nullptr || !inRange(samples, kBufferCapacity) || !loadedAudio.reserve()) {
        return false;
    }
    for (std::int32_t i = 0; i < samples; ++i) {
        storeSample(loadedAudio.channel(0), i, safeSample(left[i]));
        storeSample(loadedAudio.channel(1), i, safeSample(right[i]));
    }
    // Taken whole at a block start; freeze comes on there too, by the applying thread.
    loadedAudio.publish(samples);
    postSurely({EngineCommand::Kind::kFreezeLoadedAudio}, CommandSource::kEditor);
    return true;
}

}  // namespace tramvek
