// The step clock: follows the host's musical position, finds the next step
// boundary and arms the step start; at the armed sample the step starts.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/engine_limits.h"
#include "engine/slicer_effect.h"

namespace tramvek {
namespace {

constexpr VstInt32 kTimeInfoFilter =
    kVstTransportPlaying | kVstTransportCycleActive | kVstPpqPosValid | kVstTempoValid;
// Beyond these a host value is nonsense (and would overflow the integer
// clock): about 950 years at 120 BPM, and ten times the fastest audio rates.
constexpr double kMaxPpqPos = 1e9;
constexpr double kMaxSampleRate = 1e7;
constexpr double kMaxTempo = 1e6;

struct HostTime {
    double ppqPos;
    double sampleRate;
    double tempo;
};

}  // namespace

void SlicerEffect::syncToHost(std::int32_t sampleFrames) {
    const VstTimeInfo* info = hostGetTime(kTimeInfoFilter);
    // Without time info from the host the clock runs on: the last known rate
    // and tempo, and the position the previous block ended at.
    const HostTime time = info != nullptr ? HostTime{info->ppqPos, info->sampleRate, info->tempo}
                                          : HostTime{expectedPpqPos, static_cast<double>(hostSampleRate),
                                                     static_cast<double>(hostTempo)};

    const double ppq = time.ppqPos >= 0.0 ? std::min(time.ppqPos, kMaxPpqPos) : 0.0;
    hostSampleRate = time.sampleRate >= kMinSampleRate && time.sampleRate <= kMaxSampleRate
                         ? static_cast<std::int32_t>(time.sampleRate)
                         : kFallbackSampleRate;
    const float msSamples = static_cast<float>(hostSampleRate / 1000);
    hostTempo =
        time.tempo >= 1.0 ? static_cast<std::int32_t>(std::min(time.tempo, kMaxTempo)) : kFallbackTempo;

    const std::int32_t requestedResolution = resolutionIndex;
    const std::int32_t resolution = std::clamp(requestedResolution, 0, resolutionCount - 1);
    if (resolution != requestedResolution) {
        resolutionIndex = resolution;
    }
    const float divisor = std::max(resolutionDivisors[resolution], 1.0f);

    const double beatSamples = 240000.0 / hostTempo * msSamples * 0.25;
    const auto songSample = static_cast<std::int64_t>(beatSamples * ppq);
    // The host's grid step, and the slice length, which the buffers cap.
    const double gridStep = beatSamples / divisor;
    float stepLength = static_cast<float>(gridStep);
    stepLength = std::clamp(stepLength, 1.0f, static_cast<float>(kMaxStepSamples));
    stepSamples = static_cast<std::int32_t>(stepLength);

    const auto absStep = static_cast<std::int64_t>(std::floor(ppq * divisor));
    const std::int32_t patternSteps = clampPatternLength(patternLength);
    currentStep = static_cast<std::int32_t>(wrapIndex(absStep, patternSteps));

    // A host's position rarely lands exactly where the previous block ended on
    // this clock: hosts round it to ticks of a quarter note, and the clock runs
    // on whole BPM and whole samples per millisecond. A boundary the previous
    // block just missed can then lie a few samples behind this block's start
    // (the step would be lost, and at a pattern's first step the hand-over with
    // it), and one it just reached can lie a few samples ahead again (the step
    // would start twice). A stopped transport, which repeats its position, and
    // jumps further than a quarter of a step are not jitter.
    const double drift = static_cast<double>(songSample) - expectedPpqPos * beatSamples;
    const bool jittered = std::fabs(drift) <= gridStep / 4.0;
    const bool advancing = songSample > lastClockSongSample;

    // Measured on the host's grid, not with the capped length: with the cap
    // the boundary would fall behind the block start and never be reached.
    const double nextStart = std::max((absStep + 1) * gridStep - static_cast<double>(songSample), 0.0);
    if (nextStart <= sampleFrames) {
        if (!(advancing && jittered && lastClockStep == absStep + 1)) {
            scheduleClockStep(nextStart, absStep + 1, sampleFrames, songSample);
        }
    } else if (jittered && lastClockStep >= 0 && lastClockStep == absStep - 1) {
        // What the previous block should have done: its step hands over to this one.
        currentStep = static_cast<std::int32_t>(wrapIndex(absStep - 1, patternSteps));
        scheduleClockStep(0.0, absStep, sampleFrames, songSample);
    }
    expectedPpqPos = ppq + std::max(sampleFrames, 0) / beatSamples;
}

void SlicerEffect::scheduleClockStep(double offset, std::int64_t step, std::int32_t sampleFrames,
                                     std::int64_t songSample) {
    scheduleStep(offset, step, sampleFrames, stepSamples, false, 0.0f);
    lastClockStep = step;
    lastClockSongSample = songSample;
}

void SlicerEffect::scheduleStep(double offset, std::int64_t step, std::int32_t sampleFrames,
                                std::int32_t length, bool fromNote, float noteGain) {
    const std::int32_t patternSteps = clampPatternLength(patternLength);
    const std::int32_t firstSlot =
        std::clamp(readOnce(patternOffset), 0, kStepsPerPattern * (kPatternCount - 1));
    const std::int32_t bank = std::clamp(readOnce(currentBank), 0, kBankCount - 1);
    const auto laneSlot = static_cast<std::int32_t>(firstSlot + wrapIndex(step, patternSteps));
    const auto lane = [&](Lane which) { return clampUnit(steps[bank][which][laneSlot]); };
    length = clampStepSamples(length);
    const bool slicesFromNotes = noteToSliceMode;

    if (fromNote) {
        scheduledSlot = static_cast<std::int32_t>(step);
    }
    std::int32_t delay = 0;
    const float shuffleAmount = clampUnit(shuffle);
    if (shuffleAmount > 0.0f && !fromNote && step % 2 != 0) {
        delay =
            static_cast<std::int32_t>(static_cast<float>(clampStepSamples(stepSamples) / 2) * shuffleAmount);
    }
    // A start is never in the past: a negative countdown would never fire.
    const double start = std::clamp(std::trunc(delay + offset), 0.0, 2147483647.0);
    const auto startAt = static_cast<std::int32_t>(start);
    triggerCountdown = startAt;
    if (startAt > sampleFrames && !fromNote) {
        pendingTriggerDelay = startAt - sampleFrames;
        pendingTrigger = true;
        triggerArmed = false;
    } else {
        triggerArmed = true;
    }

    scheduledGain = fromNote ? clampUnit(noteGain) : lane(kLaneTrigger);
    scheduledAttackOffset = 0.8f * lane(kLaneAttack) - 0.4f;
    scheduledLengthOffset = 0.8f * lane(kLaneLength) - 0.4f;
    scheduledCutoffOffset = 2.0f * lane(kLaneCutoff) - 1.0f;
    const std::int64_t readSlot =
        fromNote ? step
                 : static_cast<std::int64_t>(static_cast<float>(kStepsPerPattern) * lane(kLaneReadPos));
    scheduledReadSlot = static_cast<std::int32_t>(readSlot);
    stepPitch = static_cast<std::int32_t>(24.0f * lane(kLanePitch) - 12.0f);
    stepSilenced = slicesFromNotes && !fromNote;

    const auto next = static_cast<std::int32_t>(wrapIndex(currentStep + 1, patternSteps));
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

void SlicerEffect::startStep() {
    recordIndex = scheduledRecordStart;
    if (scheduledRecordStart == 0 && !freeze) {
        copyRecordingToPlayback();
    }
    recordArmed = true;
    if (!stepSilenced) {
        startVoice();
    }
}

void SlicerEffect::copyRecordingToPlayback() {
    const std::int32_t samples = std::clamp(readOnce(patternSamples), 0, bufferCapacity);
    std::memcpy(playBufferL.get(), recordBufferL.get(), sizeof(float) * samples);
    std::memcpy(playBufferR.get(), recordBufferR.get(), sizeof(float) * samples);
}

}  // namespace tramvek
