// The step clock: follows the host's musical position, finds the next step
// boundary and arms the step start; at the armed sample the step starts.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/engine_limits.h"
#include "engine/slicer_engine.h"
#include "engine/step_variation.h"

namespace tramvek {
namespace {

// Beyond these a host value is nonsense (and would overflow the integer
// clock): about 950 years at 120 BPM, and ten times the fastest audio rates.
constexpr double kMaxPpqPos = 1e9;
constexpr double kMaxSampleRate = 1e7;
constexpr double kMaxTempo = 1e6;

}  // namespace

void SlicerEngine::syncToHost(std::int32_t sampleFrames, const TransportPosition* info) {
    // Without time info from the host the clock runs on: the last known rate
    // and tempo, and the position the previous block ended at.
    const std::int32_t announced = announcedSampleRate;
    const auto lastRate = static_cast<double>(announced > 0 ? announced : hostSampleRate.load());
    const TransportPosition time =
        info != nullptr ? *info
                        : TransportPosition{expectedPpqPos, lastRate, static_cast<double>(hostTempo), true};

    const double ppq = time.ppqPos >= 0.0 ? std::min(time.ppqPos, kMaxPpqPos) : 0.0;
    const bool rateValid = time.sampleRate >= kMinSampleRate && time.sampleRate <= kMaxSampleRate;
    hostSampleRate = rateValid ? static_cast<std::int32_t>(time.sampleRate) : kFallbackSampleRate;
    const float msSamples = static_cast<float>(hostSampleRate / 1000);
    const double tempo = time.tempo >= 1.0 ? std::min(time.tempo, kMaxTempo) : kFallbackTempo;
    hostTempo = static_cast<std::int32_t>(tempo);

    const std::int32_t requestedResolution = resolutionIndex;
    const std::int32_t resolution = std::clamp(requestedResolution, 0, kResolutionCount - 1);
    if (resolution != requestedResolution) {
        resolutionIndex = resolution;
    }
    const float divisor = std::max(kResolutionDivisors[resolution], 1.0f);

    // Slice lengths and buffer positions keep the integer clock (whole BPM,
    // whole samples per millisecond): frozen banks were recorded with it.
    const double beatSamples = 240000.0 / hostTempo * msSamples * 0.25;
    float stepLength = static_cast<float>(beatSamples / divisor);
    stepLength = std::clamp(stepLength, 1.0f, static_cast<float>(kMaxStepSamples));
    stepSamples = static_cast<std::int32_t>(stepLength);
    const auto absStep = static_cast<std::int64_t>(std::floor(ppq * divisor));
    currentStep = static_cast<std::int32_t>(wrapIndex(absStep, clampPatternLength(patternLength)));
    expectedPpqPos = ppq + std::max(sampleFrames, 0) / beatSamples;
    if (sampleFrames <= 0) {
        return;  // no samples pass: the grid position stays for the next block
    }

    // Starts fall on the host's grid: its own rate and tempo.
    const StepGrid grid{(rateValid ? time.sampleRate : kFallbackSampleRate) * 60.0, tempo * divisor, divisor};
    const double quarterSamples = grid.samplesPerMinute / tempo;
    const double gridPpq =
        std::isfinite(time.ppqPos) ? std::clamp(time.ppqPos, -kMaxPpqPos, kMaxPpqPos) : 0.0;
    const double hostSample = gridPpq * quarterSamples;

    // A host's position rarely lands exactly where the previous block ended:
    // hosts round it to ticks of a quarter note. Within a quarter of a step of
    // where the song should be, the block follows on from the previous one; a
    // position further off is a jump (a loop, a locate), and a repeated one a
    // transport that did not move. Such a block is placed where the host says.
    // While the transport is stopped the boundary on its position does not
    // start (it would start again in every block); when it starts playing from
    // there, it does.
    const bool playing = info == nullptr || info->playing;
    const bool repeated = clockAnchored && hostSample == lastHostSample;
    const double jitter = std::max(quarterSamples / divisor / 4.0, 0.5);
    const bool followsOn =
        clockAnchored && !repeated && std::fabs(hostSample - static_cast<double>(nextBlockSample)) <= jitter;
    const bool sameGrid = grid.samplesPerMinute == stepGrid.samplesPerMinute &&
                          grid.stepsPerMinute == stepGrid.stepsPerMinute && grid.divisor == stepGrid.divisor;
    const bool sameSteps = grid.divisor == stepGrid.divisor;
    stepGrid = grid;
    blockStartSample = followsOn && sameGrid ? nextBlockSample : std::llround(hostSample);
    if (!followsOn) {
        nextBoundary = firstBoundaryFrom(blockStartSample + (playing ? 0 : 1));
    } else if (!sameSteps) {
        nextBoundary = firstBoundaryFrom(blockStartSample);  // steps of another length: counted anew
    } else if (!sameGrid) {
        // A new tempo or rate: boundaries the previous blocks started stay
        // started; one that moved just behind this block's start starts at its first sample.
        const auto jitterSamples = static_cast<std::int64_t>(jitter);
        nextBoundary = std::max(nextBoundary, firstBoundaryFrom(blockStartSample - jitterSamples));
    }
    clockAnchored = true;
    lastHostSample = hostSample;
    nextBlockSample = blockStartSample + sampleFrames;
}

void SlicerEngine::setSampleRate(double rate) {
    if (rate >= kMinSampleRate && rate <= kMaxSampleRate) {
        announcedSampleRate = static_cast<std::int32_t>(rate);
    }
}

std::int64_t SlicerEngine::boundarySample(std::int64_t step) const {
    return static_cast<std::int64_t>(
        std::floor(static_cast<double>(step) * stepGrid.samplesPerMinute / stepGrid.stepsPerMinute));
}

std::int64_t SlicerEngine::firstBoundaryFrom(std::int64_t sample) const {
    // Boundaries before the song's start are not steps.
    auto step = static_cast<std::int64_t>(
        std::ceil(static_cast<double>(sample) * stepGrid.stepsPerMinute / stepGrid.samplesPerMinute));
    step = std::max<std::int64_t>(step, 0);
    while (step > 0 && boundarySample(step - 1) >= sample) {
        --step;
    }
    while (boundarySample(step) < sample) {
        ++step;
    }
    return step;
}

void SlicerEngine::scheduleStep(std::int64_t step, std::int64_t recordStep, bool fromNote, float noteGain) {
    const std::int32_t patternSteps = clampPatternLength(patternLength);
    const std::int32_t firstSlot =
        std::clamp(patternOffset.load(), 0, kStepsPerPattern * (kPatternCount - 1));
    const std::int32_t bank = std::clamp(currentBank.load(), 0, kBankCount - 1);
    const auto laneSlot = static_cast<std::int32_t>(firstSlot + wrapIndex(step, patternSteps));
    const auto lane = [&](Lane which) { return clampUnit(steps[bank][which][laneSlot]); };
    const std::int32_t length = clampStepSamples(stepSamples);
    const bool slicesFromNotes = noteToSliceMode;

    if (fromNote) {
        scheduledSlot = static_cast<std::int32_t>(step);
    }

    // A step Chance skips starts as a step of gain 0 does, in one hit; notes always play.
    const bool plays =
        fromNote || stepPlays(steps[bank][kLaneChance][laneSlot], variationSeed, step, laneSlot);
    scheduledGain = fromNote ? clampUnit(noteGain) : (plays ? lane(kLaneTrigger) : 0.0f);
    hitCount = fromNote || !plays || slicesFromNotes ? 1 : repeatCount(steps[bank][kLaneRepeat][laneSlot]);
    repeatHits = {};
    scheduledAttackOffset = 0.8f * lane(kLaneAttack) - 0.4f;
    scheduledLengthOffset = 0.8f * lane(kLaneLength) - 0.4f;
    scheduledCutoffOffset = 2.0f * lane(kLaneCutoff) - 1.0f;
    const std::int64_t readSlot =
        fromNote ? step
                 : static_cast<std::int64_t>(static_cast<float>(kStepsPerPattern) * lane(kLaneReadPos));
    scheduledReadSlot = static_cast<std::int32_t>(readSlot);
    stepPitch = static_cast<std::int32_t>(24.0f * lane(kLanePitch) - 12.0f);
    stepSilenced = slicesFromNotes && !fromNote;

    const auto next = static_cast<std::int32_t>(wrapIndex(recordStep, patternSteps));
    recordCycleSamples = kStepsPerPattern * length;
    if (!slicesFromNotes) {
        scheduledSlot = static_cast<std::int32_t>(wrapIndex(readSlot, patternSteps));
    }
    nextStepIndex = next;
    // Pattern length and step length are clamped, so the pattern always fits.
    static_assert(kStepsPerPattern * kMaxStepSamples < kBufferCapacity);
    const std::int32_t samples = patternSteps * length;
    patternSamples = samples;
    scheduledReverse = lane(kLaneReverse) > 0.1f;

    auto readStart = static_cast<std::int32_t>(wrapIndex(length * readSlot, samples));
    if (scheduledReverse) {
        readStart += length;  // a reversed slice starts at its end
    }
    scheduledReadStart = readStart;
    scheduledRecordStart =
        static_cast<std::int32_t>(wrapIndex(static_cast<std::int64_t>(next) * length, samples));
    scheduledSliceStart = readStart;
}

void SlicerEngine::startStep() {
    recordIndex = scheduledRecordStart;
    if (scheduledRecordStart == 0 && !freeze) {
        copyRecordingToPlayback();
    }
    recordArmed = true;
    if (!stepSilenced) {
        startVoice();
    }
}

void SlicerEngine::copyRecordingToPlayback() {
    // takeRecording holds the count within the buffers.
    playBuffers.takeRecording(patternSamples.load());
}

}  // namespace tramvek
