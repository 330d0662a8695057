// The voice start: envelope rates, cutoff and filter, gain, pitch, direction,
// read window and hold length, taken from the scheduled step.
#include <algorithm>

#include "engine/engine_limits.h"
#include "engine/low_pass.h"
#include "engine/portable_math.h"
#include "engine/slicer_engine.h"

namespace tramvek {
namespace {

constexpr float kMinAttack = 1e-7f;
constexpr std::int32_t kMinHoldSamples = 100;
constexpr std::int32_t kHoldStartCounter = -10000;
constexpr std::int32_t kUnityPitchIndex = 24;

}  // namespace

void SlicerEngine::startVoice() {
    computeEnvelopeRates();
    voiceCutoff = clampUnit(cutoffSq + scheduledCutoffOffset);
    envelopeStage = kEnvelopeAttack;
    voiceGain = scheduledGain;
    updateFilter();
    const std::int32_t pitchIndex =
        std::clamp(kUnityPitchIndex + clampSemitones(basePitch) + stepPitch, 0, kPitchRatioCount - 2);
    readIncrement = pitchRatios[pitchIndex];
    voiceReverse = scheduledReverse;
    const std::int32_t length = hitSamples();
    readPosition = static_cast<float>(scheduledReadStart);
    sliceEnd = voiceReverse ? scheduledReadStart - length : scheduledReadStart + length;
    playingSliceStart = scheduledSliceStart;
    computeHoldLength();
    holdCounter = kHoldStartCounter;
}

// A step of N hits plays N slices of 1 / N of the step, each enveloped as a step that short.
std::int32_t SlicerEngine::hitSamples() const {
    return std::max(clampStepSamples(stepSamples) / std::clamp(hitCount.load(), 1, kMaxRepeats), 1);
}

void SlicerEngine::computeEnvelopeRates() {
    const float attack = std::max(clampUnit(attackSq) + scheduledAttackOffset, kMinAttack);
    const float step = 1.0f / (static_cast<float>(hitSamples()) * attack);
    attackStep = std::max(step, kMinAttack);
    releaseStep = 0.01f;
    releaseCurve = -2e-8f;
    attackCurve = attackStep * 2e-6f;
}

void SlicerEngine::updateFilter() {
    filter = lowPassCoefficients(voiceCutoff, resonance, hostSampleRate);
}

void SlicerEngine::computeHoldLength() {
    const float samples =
        (clampUnit(lengthSq) + scheduledLengthOffset) * static_cast<float>(hitSamples() - 900) + 100.0f;
    holdSamples = std::max(static_cast<std::int32_t>(samples), kMinHoldSamples);
}

}  // namespace tramvek
