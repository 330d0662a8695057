// Construction of the engine state, the editor's operations and what the
// editor reads.
#include "engine/slicer_engine.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/engine_limits.h"
#include "engine/portable_math.h"
#include "engine/shared_samples.h"
#include "engine/step_variation.h"
#include "engine/waveform_overview.h"
#include "params/parameter_table.h"
#include "params/program_record.h"

namespace tramvek {
namespace {

constexpr std::int32_t kFirstSliceNote = 48;

bool isIndex(std::int32_t index, std::int32_t count) {
    return index >= 0 && index < count;
}

}  // namespace

SlicerEngine::SlicerEngine() {
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        paramValues[index] = kDefaultParams[index];
    }
    for (std::int32_t i = 0; i < kSliceCount; ++i) {
        sliceNotes[i] = kFirstSliceNote + i;
    }
    initialisePatternStore();
    initialisePitchRatios();
    initialisePrograms();
    // The engine sounds as the displayed parameters say from the first block,
    // also in hosts that never select a program or set a parameter.
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        setParameter(index, paramValues[index]);
    }
    publishView();
}

SlicerEngine::~SlicerEngine() = default;

bool SlicerEngine::allocationsSucceeded() const {
    return playBuffers.allocated();
}

void SlicerEngine::initialisePatternStore() {
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
            bank[kLaneChance][slot] = kDefaultChance;
            bank[kLaneRepeat][slot] = kDefaultRepeat;
        }
    }
}

void SlicerEngine::initialisePitchRatios() {
    for (std::int32_t i = 0; i < kPitchRatioCount; ++i) {
        pitchRatios[i] = static_cast<float>(portableSemitoneRatio(i - 24));
    }
}

void SlicerEngine::initialisePrograms() {
    for (StoredProgram& program : programs) {
        for (std::int32_t index = 0; index < kParamCount; ++index) {
            program.params[index] = kDefaultParams[index];
        }
        program.patternLength = kDefaultPatternLength;
        std::memset(program.name, 0, sizeof program.name);
        std::strcpy(program.name, kDefaultProgramName);
    }
}

void SlicerEngine::setStepValue(std::int32_t step, float value, std::int32_t lane) {
    if (isIndex(step, kStepsPerPattern)) {
        setSlotValue(patternOffset + step, value, lane);
    }
}

void SlicerEngine::setSlotValue(std::int32_t slot, float value, std::int32_t lane) {
    const std::int32_t bank = currentBank;
    if (!isIndex(slot, kStepsPerPattern * kPatternCount) || !isIndex(lane, kStoredLaneCount) ||
        !isIndex(bank, kBankCount)) {
        return;
    }
    if (lane == kLaneReverse) {
        value = value > 0.0f ? 1.0f : 0.0f;
    }
    steps[bank][lane][slot] = value;
}

void SlicerEngine::setPatternLength(float value) {
    value = clampPatternLengthValue(value);
    patternLengthValue = value;
    patternLength = static_cast<std::int32_t>(static_cast<float>(kStepsPerPattern) * value);
}

void SlicerEngine::nextResolution() {
    const std::int32_t next = resolutionIndex + 1;
    resolutionIndex = isIndex(next, kResolutionCount) ? next : 0;
}

void SlicerEngine::previousResolution() {
    const std::int32_t previous = resolutionIndex - 1;
    resolutionIndex = isIndex(previous, kResolutionCount) ? previous : kResolutionCount - 1;
}

void SlicerEngine::selectPattern(std::int32_t index) {
    if (!isIndex(index, kPatternCount)) {
        return;
    }
    currentPattern = index;
    patternOffset = kStepsPerPattern * index;
}

void SlicerEngine::selectBank(std::int32_t index) {
    if (isIndex(index, kBankCount)) {
        currentBank = index;
    }
}

void SlicerEngine::copyPattern(std::int32_t index) {
    if (!isIndex(index, kPatternCount)) {
        return;
    }
    clipboardPattern = index;
    clipboardBank = currentBank;
}

void SlicerEngine::pastePattern(std::int32_t index) {
    const std::int32_t bank = currentBank;
    const std::int32_t sourceBank = clipboardBank;
    const std::int32_t sourcePattern = clipboardPattern;
    if (!isIndex(index, kPatternCount) || !isIndex(bank, kBankCount) || !isIndex(sourceBank, kBankCount) ||
        !isIndex(sourcePattern, kPatternCount)) {
        return;
    }
    for (std::int32_t lane = 0; lane < kStoredLaneCount; ++lane) {
        const Shared<float>* source = &steps[sourceBank][lane][kStepsPerPattern * sourcePattern];
        Shared<float>* target = &steps[bank][lane][kStepsPerPattern * index];
        for (std::int32_t step = 0; step < kStepsPerPattern; ++step) {
            target[step] = source[step].load();
        }
    }
}

void SlicerEngine::setShuffle(float value) {
    shuffle = value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f);
}

void SlicerEngine::flushBuffer() {
    // A load not yet played gives way: the user asked for empty buffers last.
    loadedAudio.cancel();
    flushRequested = true;
}

void SlicerEngine::toggleFreeze() {
    freeze = !freeze;
}

void SlicerEngine::toggleMidiLearn() {
    paramMidiLearn = !paramMidiLearn;
}

void SlicerEngine::setLearnTarget(std::int32_t index) {
    if (isIndex(index, kParamCount)) {
        paramLearnTarget = index;
    }
}

void SlicerEngine::togglePatternNoteLearn() {
    if (patternNoteLearn) {
        patternNoteLearn = false;
        return;
    }
    patternNoteLearn = true;
    sliceNoteLearn = false;
}

void SlicerEngine::setPatternLearnTarget(std::int32_t index) {
    if (isIndex(index, kPatternCount)) {
        patternLearnTarget = index;
    }
}

void SlicerEngine::toggleSliceTriggering() {
    noteToSliceMode = !noteToSliceMode;
}

void SlicerEngine::toggleNoteSliceLearn() {
    if (sliceNoteLearn) {
        sliceNoteLearn = false;
        return;
    }
    sliceNoteLearn = true;
    patternNoteLearn = false;
}

void SlicerEngine::setSliceLearnTarget(std::int32_t index) {
    if (isIndex(index, kSliceCount)) {
        sliceLearnTarget = index;
    }
}

void SlicerEngine::notifyListener(bool hostShouldRefresh) {
    if (listener_ != nullptr) {
        listener_->engineValuesChanged(hostShouldRefresh);
    }
}

// Hosts may suspend while the audio thread runs, so the audio thread drops
// the waiting starts itself.
void SlicerEngine::suspend() {
    waitingStartsDropped = true;
    loadedAudio.release();
    audioRunning_.store(false, std::memory_order_seq_cst);
    applyPendingIfIdle();
}

void SlicerEngine::activate() {
    if (!pagesResident_) {
        pagesResident_ = true;
        playBuffers.residePages();
    }
}

void SlicerEngine::dropWaitingStartsIfSuspended() {
    if (!waitingStartsDropped.exchange(false)) {
        return;
    }
    delayedStepCount = 0;
    timedNoteCount = 0;
    repeatHits = {};
    clockAnchored = false;
}

EditorSnapshot SlicerEngine::snapshot() const {
    EditorSnapshot now;
    for (std::int32_t i = 0; i < kParamCount; ++i) {
        now.paramValues[i] = paramValues[i];
        now.paramControllers[i] = paramControllers[i];
    }
    now.paramLearnTarget = paramLearnTarget;
    now.paramMidiLearn = paramMidiLearn;
    now.frozen = freeze;
    now.noteToSliceMode = noteToSliceMode;
    now.sliceNoteLearn = sliceNoteLearn;
    now.sliceLearnTarget = sliceLearnTarget;
    for (std::int32_t k = 0; k < kSliceCount; ++k) {
        now.sliceNotes[k] = sliceNotes[k];
    }
    now.nextStepIndex = nextStepIndex;
    now.playingSlot = scheduledSlot;
    now.recordCycleSamples = recordCycleSamples;
    now.patternSamples = patternSamples;
    now.sampleRate = hostSampleRate;
    now.currentBank = currentBank;
    now.patternOffset = patternOffset;
    now.currentPattern = currentPattern;
    now.currentStep = currentStep;
    now.patternLength = patternLength;
    now.patternLengthValue = patternLengthValue;
    now.shuffle = shuffle;
    now.resolutionIndex = resolutionIndex;
    now.patternNoteLearn = patternNoteLearn;
    now.patternLearnTarget = patternLearnTarget;
    for (std::int32_t k = 0; k < kPatternCount; ++k) {
        now.patternNotes[k] = patternNotes[k];
    }
    return now;
}

static_assert(kWaveformStripWidth + 1 <= EngineView::kWaveformColumns);

void SlicerEngine::fillView(EngineView& view) const {
    view.snapshot = snapshot();
    const std::int32_t bank = std::clamp(view.snapshot.currentBank, 0, kBankCount - 1);
    const std::int32_t firstSlot = std::clamp(view.snapshot.patternOffset, 0, kSlotCount - kStepsPerPattern);
    for (std::int32_t lane = 0; lane < kStoredLaneCount; ++lane) {
        for (std::int32_t step = 0; step < kStepsPerPattern; ++step) {
            view.patternSteps[lane][step] = steps[bank][lane][firstSlot + step];
        }
    }
    view.waveformStride = waveformStride(view.snapshot.recordCycleSamples, kWaveformStripWidth);
    view.waveformCount = kWaveformStripWidth + 1;
    samplePlayedAudio(view.waveformStride, view.waveformCount, view.waveformLeft, view.waveformRight);
}

float SlicerEngine::stepValue(std::int32_t bank, std::int32_t lane, std::int32_t slot) const {
    if (!isIndex(bank, kBankCount) || !isIndex(lane, kStoredLaneCount) || !isIndex(slot, kSlotCount)) {
        return 0.0f;
    }
    return steps[bank][lane][slot];
}

float SlicerEngine::playedSample(std::int32_t channel, std::int32_t index) const {
    float sample = 0.0f;
    if (isIndex(index, kBufferCapacity)) {
        readVisibleAudio([&](const SampleReader& left, const SampleReader& right) {
            sample = channel == 0 ? left[index] : right[index];
        });
    }
    return sample;
}

void SlicerEngine::samplePlayedAudio(std::int32_t stride, std::int32_t count, float* left,
                                     float* right) const {
    readVisibleAudio([&](const SampleReader& fromLeft, const SampleReader& fromRight) {
        for (std::int32_t k = 0; k < count; ++k) {
            const std::int64_t index = static_cast<std::int64_t>(k) * stride;
            const bool inside = index >= 0 && index < kBufferCapacity;
            left[k] = inside ? fromLeft[static_cast<std::int32_t>(index)] : 0.0f;
            right[k] = inside ? fromRight[static_cast<std::int32_t>(index)] : 0.0f;
        }
    });
}

}  // namespace tramvek
