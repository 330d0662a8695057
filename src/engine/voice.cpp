// The voice start: envelope rates, cutoff and filter, gain, pitch, direction,
// read window and hold length, taken from the scheduled step.
#include <algorithm>

#include "engine/engine_limits.h"
#include "engine/portable_math.h"
#include "engine/slicer_effect.h"

namespace tramvek {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kHalfLn2 = 0.34657359027997265471;
constexpr double kMinCutoffHz = 40.0;
constexpr double kCutoffRangeHz = 10000.0;
// Keeps the cutoff below Nyquist at low sample rates (only rates under
// 22.3 kHz are affected), where the bandwidth formula breaks down.
constexpr double kMaxCutoffToRate = 0.45;
constexpr float kMinAttack = 1e-7f;
constexpr std::int32_t kMinHoldSamples = 100;
constexpr std::int32_t kHoldStartCounter = -10000;
constexpr std::int32_t kUnityPitchIndex = 24;

}  // namespace

void SlicerEffect::startVoice() {
    computeEnvelopeRates();
    voiceCutoff = clampUnit(cutoffSq + scheduledCutoffOffset);
    envelopeStage = kEnvelopeAttack;
    voiceGain = scheduledGain;
    updateFilter();
    const std::int32_t pitchIndex =
        std::clamp(kUnityPitchIndex + clampSemitones(basePitch) + stepPitch, 0, kPitchRatioCount - 2);
    readIncrement = pitchRatios[pitchIndex];
    voiceReverse = scheduledReverse;
    const std::int32_t length = clampStepSamples(stepSamples);
    readPosition = static_cast<float>(scheduledReadStart);
    sliceEnd = voiceReverse ? scheduledReadStart - length : scheduledReadStart + length;
    playingSliceStart = scheduledSliceStart;
    computeHoldLength();
    holdCounter = kHoldStartCounter;
}

void SlicerEffect::computeEnvelopeRates() {
    const float attack = std::max(clampUnit(attackSq) + scheduledAttackOffset, kMinAttack);
    const float step = 1.0f / (static_cast<float>(clampStepSamples(stepSamples)) * attack);
    attackStep = std::max(step, kMinAttack);
    releaseStep = 0.01f;
    releaseCurve = -2e-8f;
    attackCurve = attackStep * 2e-6f;
}

void SlicerEffect::updateFilter() {
    const std::int32_t rate = hostSampleRate;
    const double fs = rate >= kMinSampleRate ? rate : kFallbackSampleRate;
    const double f0 = std::min(clampUnit(voiceCutoff) * kCutoffRangeHz + kMinCutoffHz, kMaxCutoffToRate * fs);
    const double bandwidth = 1.0 - 0.92 * clampUnit(resonance);
    const double w0 = kTwoPi * f0 / fs;
    const double sinW0 = portableSin(w0);
    const double cosW0 = portableCos(w0);
    const double alpha = sinW0 * portableSinh(kHalfLn2 * bandwidth * w0 / sinW0);
    const double a0 = 1.0 + alpha;
    filter.b0 = static_cast<float>((1.0 - cosW0) / 2.0 / a0);
    filter.b1 = static_cast<float>((1.0 - cosW0) / a0);
    filter.b2 = static_cast<float>((1.0 - cosW0) / 2.0 / a0);
    filter.a1 = static_cast<float>(-2.0 * cosW0 / a0);
    filter.a2 = static_cast<float>((1.0 - alpha) / a0);
}

void SlicerEffect::computeHoldLength() {
    const float samples = (clampUnit(lengthSq) + scheduledLengthOffset) *
                              static_cast<float>(clampStepSamples(stepSamples) - 900) +
                          100.0f;
    holdSamples = std::max(static_cast<std::int32_t>(samples), kMinHoldSamples);
}

}  // namespace tramvek
