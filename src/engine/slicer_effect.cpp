// Construction of the engine state, and the small operations the editor and
// the host binding call.
#include "engine/slicer_effect.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "engine/portable_math.h"
#include "host/editor_base.h"
#include "host/plugin_identity.h"

namespace tramvek {
namespace {

constexpr float kDefaultParams[SlicerEffect::kParamCount] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};
constexpr std::int32_t kDefaultPatternLength = 16;
constexpr std::int32_t kFirstSliceNote = 48;
constexpr float kMinPatternLengthValue = 0.07f;

float* allocateSamples() {
    return new (std::nothrow) float[SlicerEffect::kBufferCapacity]();
}

bool isIndex(std::int32_t index, std::int32_t count) {
    return index >= 0 && index < count;
}

}  // namespace

SlicerEffect::SlicerEffect(AudioMasterCallback audioMaster)
    : ExtendedEffectBase(audioMaster, kProgramCount, kParamCount),
      playBufferL(allocateSamples()),
      playBufferR(allocateSamples()),
      chunkData(new (std::nothrow) std::uint8_t[kChunkCapacity]()),
      recordBufferL(allocateSamples()),
      recordBufferR(allocateSamples()) {
    setInputCount(2);
    setOutputCount(2);
    setFlagHasVu(true);
    setFlagCanReplacing(true);
    setFlagProgramChunks(true);
    setUniqueId(kSlicerUniqueId);

    for (std::int32_t i = 0; i < kSliceCount; ++i) {
        sliceNotes[i] = kFirstSliceNote + i;
    }
    initialisePatternStore();
    initialisePitchRatios();
    initialisePrograms();
    // The engine sounds as the displayed parameters say from the first block,
    // also in hosts that never select a program or set a parameter.
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        applyParameter(index, paramValues[index]);
    }
}

SlicerEffect::~SlicerEffect() = default;

bool SlicerEffect::allocationsSucceeded() const {
    return playBufferL && playBufferR && recordBufferL && recordBufferR && chunkData;
}

void SlicerEffect::initialisePatternStore() {
    for (auto& bank : steps) {
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            bank[kLaneTrigger][slot] = slot % 2 == 0 ? 0.8f : 0.0f;
            bank[kLaneAttack][slot] = 0.5f;
            bank[kLaneLength][slot] = 0.5f;
            bank[kLaneCutoff][slot] = 0.5f;
            // Every step reads its own slice.
            bank[kLaneReadPos][slot] = static_cast<float>(slot % kStepsPerPattern) / kStepsPerPattern;
            bank[kLanePitch][slot] = 0.5f;
            bank[kLaneReverse][slot] = 0.0f;
        }
    }
}

void SlicerEffect::initialisePitchRatios() {
    for (std::int32_t i = 0; i < kPitchRatioCount; ++i) {
        pitchRatios[i] = static_cast<float>(portableSemitoneRatio(i - 24));
    }
}

void SlicerEffect::initialisePrograms() {
    for (ProgramRecord& program : programs) {
        std::copy(std::begin(kDefaultParams), std::end(kDefaultParams), program.params);
        program.patternLength = kDefaultPatternLength;
        std::memset(program.name, 0, sizeof program.name);
        std::strcpy(program.name, "Init");
    }
}

void SlicerEffect::setStepValue(std::int32_t step, float value, std::int32_t lane) {
    const std::int32_t bank = currentBank;
    const std::int32_t firstSlot = patternOffset;
    if (!isIndex(step, kStepsPerPattern) || !isIndex(lane, kLaneCount) || !isIndex(bank, kBankCount) ||
        !isIndex(firstSlot, kStepsPerPattern * kPatternCount)) {
        return;
    }
    const std::int32_t slot = firstSlot + step;
    if (lane == kLaneReverse) {
        value = value > 0.0f ? 1.0f : 0.0f;
    }
    steps[bank][lane][slot] = value;
}

void SlicerEffect::setPatternLength(float value) {
    if (!(value >= kMinPatternLengthValue)) {
        value = kMinPatternLengthValue;
    }
    value = std::min(value, 1.0f);
    patternLengthValue = value;
    patternLength = static_cast<std::int32_t>(static_cast<float>(maxPatternLength) * value);
}

void SlicerEffect::nextResolution() {
    const std::int32_t next = resolutionIndex + 1;
    resolutionIndex = isIndex(next, resolutionCount) ? next : 0;
}

void SlicerEffect::previousResolution() {
    const std::int32_t previous = resolutionIndex - 1;
    resolutionIndex = isIndex(previous, resolutionCount) ? previous : resolutionCount - 1;
}

void SlicerEffect::selectPattern(std::int32_t index) {
    if (!isIndex(index, kPatternCount)) {
        return;
    }
    currentPattern = index;
    patternOffset = kStepsPerPattern * index;
}

void SlicerEffect::selectBank(std::int32_t index) {
    if (isIndex(index, kBankCount)) {
        currentBank = index;
    }
}

void SlicerEffect::copyPattern(std::int32_t index) {
    if (!isIndex(index, kPatternCount)) {
        return;
    }
    clipboardPattern = index;
    clipboardBank = currentBank;
}

void SlicerEffect::pastePattern(std::int32_t index) {
    const std::int32_t bank = currentBank;
    const std::int32_t sourceBank = clipboardBank;
    const std::int32_t sourcePattern = clipboardPattern;
    if (!isIndex(index, kPatternCount) || !isIndex(bank, kBankCount) || !isIndex(sourceBank, kBankCount) ||
        !isIndex(sourcePattern, kPatternCount)) {
        return;
    }
    for (std::int32_t lane = 0; lane < kLaneCount; ++lane) {
        const float* source = &steps[sourceBank][lane][kStepsPerPattern * sourcePattern];
        // memmove: pasting a pattern onto itself is a copy onto the same slots.
        std::memmove(&steps[bank][lane][kStepsPerPattern * index], source, kStepsPerPattern * sizeof(float));
    }
}

void SlicerEffect::setShuffle(float value) {
    shuffle = value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f);
}

void SlicerEffect::flushBuffer() {
    std::fill_n(playBufferL.get(), kBufferCapacity, 0.0f);
    std::fill_n(playBufferR.get(), kBufferCapacity, 0.0f);
}

void SlicerEffect::toggleFreeze() {
    freeze = !freeze;
}

void SlicerEffect::toggleMidiLearn() {
    paramMidiLearn = !paramMidiLearn;
}

void SlicerEffect::setLearnTarget(std::int32_t index) {
    if (isIndex(index, kParamCount)) {
        paramLearnTarget = index;
    }
}

void SlicerEffect::togglePatternNoteLearn() {
    if (patternNoteLearn) {
        patternNoteLearn = false;
        return;
    }
    patternNoteLearn = true;
    sliceNoteLearn = false;
}

void SlicerEffect::setPatternLearnTarget(std::int32_t index) {
    if (isIndex(index, kPatternCount)) {
        patternLearnTarget = index;
    }
}

void SlicerEffect::toggleSliceTriggering() {
    noteToSliceMode = !noteToSliceMode;
}

void SlicerEffect::toggleNoteSliceLearn() {
    if (sliceNoteLearn) {
        sliceNoteLearn = false;
        return;
    }
    sliceNoteLearn = true;
    patternNoteLearn = false;
}

void SlicerEffect::setSliceLearnTarget(std::int32_t index) {
    if (isIndex(index, kSliceCount)) {
        sliceLearnTarget = index;
    }
}

void SlicerEffect::notifyEditor(bool withPostUpdate) {
    if (editor != nullptr && withPostUpdate) {
        editor->postUpdate();
    }
    if (panelRedrawFlag != nullptr) {
        panelRedrawFlag->store(true);
    }
}

float SlicerEffect::getVu() {
    const float value = vuValue;
    vuValue = 0.0f;
    return value;
}

// Starts still waiting are dropped and, after a resume, the clock takes the
// host's position afresh. Hosts may suspend while the audio thread runs, so
// the audio thread does it, before its next events or block.
void SlicerEffect::suspend() {
    std::atomic_ref<bool>(waitingStartsDropped).store(true, std::memory_order_relaxed);
}

void SlicerEffect::dropWaitingStartsIfSuspended() {
    if (!std::atomic_ref<bool>(waitingStartsDropped).exchange(false, std::memory_order_relaxed)) {
        return;
    }
    delayedStepCount = 0;
    timedNoteCount = 0;
    clockAnchored = false;
}

void SlicerEffect::resume() {
    hostWantMidi(1);
}

bool SlicerEffect::getVendorString(char* text) {
    return writeVendorText(text);
}

bool SlicerEffect::getProductString(char* text) {
    return writeProductText(text);
}

VstInt32 SlicerEffect::canDo(const char* text) {
    return capabilityAnswer(text);
}

}  // namespace tramvek
