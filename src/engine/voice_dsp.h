// The voice's per-sample building blocks. The block loop copies the voice's
// fields into a VoiceRun for the length of a segment, so the hot loop works
// on locals instead of reloading the shared engine record every sample.
#pragma once

#include <cstdint>
#include <limits>

#include "engine/biquad.h"
#include "engine/envelope_stage.h"

namespace tramvek {

struct VoiceRun {
    float readPosition;
    float readIncrement;
    std::int32_t sliceEnd;
    bool reverse;
    std::int32_t playIndex;
    std::int32_t envelopeStage;
    float envelopeLevel;
    float attackStep;
    float attackCurve;
    float releaseStep;
    float releaseCurve;
    std::int32_t holdCounter;
    std::int32_t holdSamples;
    float voiceGain;
    BiquadCoefficients filter;
    BiquadHistory historyL;
    BiquadHistory historyR;
    std::int32_t recordIndex;
    bool recordArmed;
};

// One envelope sample. withHold counts the hold and starts the release when
// it ends; the accumulating entry runs without it.
inline void stepEnvelope(VoiceRun& v, bool withHold) {
    if (withHold) {
        // Saturating: an idle voice counts on for as long as the host plays.
        if (v.holdCounter < std::numeric_limits<std::int32_t>::max()) {
            ++v.holdCounter;
        }
        if (v.holdCounter >= v.holdSamples) {
            v.envelopeStage = kEnvelopeRelease;
        }
    }
    if (v.envelopeStage == kEnvelopeAttack) {
        v.envelopeLevel += v.attackStep;
        v.attackStep += v.attackCurve;
        if (!(v.envelopeLevel < 1.0f)) {
            v.envelopeLevel = 1.0f;
            v.envelopeStage = kEnvelopeHold;
            v.holdCounter = 0;
        }
    } else if (v.envelopeStage == kEnvelopeRelease) {
        if (!(v.envelopeLevel > 0.0f)) {
            // Already silent: leave the release rate alone. Slowing it on
            // every idle sample would turn it negative after ~11 s and make
            // the level climb without bound.
            v.envelopeLevel = 0.0f;
            v.envelopeStage = kEnvelopeHold;
            return;
        }
        v.envelopeLevel -= v.releaseStep;
        v.releaseStep += v.releaseCurve;
        if (!(v.envelopeLevel > 0.0f)) {
            v.envelopeLevel = 0.0f;
            v.envelopeStage = kEnvelopeHold;
        }
    }
}

// value mod cycle for a non-negative value; the division, slow on the
// per-sample path, only runs when the value has actually passed the cycle.
inline std::int32_t wrapIntoCycle(std::int32_t value, std::int32_t cycle) {
    return value < cycle ? value : value % cycle;
}

struct StereoSample {
    float left;
    float right;
};

// 4-point third-order Hermite (Catmull-Rom) through xm1, x0, x1, x2 at f.
inline float hermite(float xm1, float x0, float x1, float x2, float f) {
    const float c1 = 0.5f * (x1 - xm1);
    const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
    const float c3 = 0.5f * (x2 - xm1) + 1.5f * (x0 - x1);
    return ((c3 * f + c2) * f + c1) * f + x0;
}

// Both channels read at position with cyclic length cycle (1..capacity). A
// position outside the buffer (the cycle shrank under a running slice, or a
// restored length) is wrapped into the cycle.
inline StereoSample readHermitePair(const float* left, const float* right, float position, std::int32_t cycle,
                                    std::int32_t capacity) {
    std::int32_t i = static_cast<std::int32_t>(position);
    const float f = position - static_cast<float>(i);
    if (i < 0 || i >= capacity) {
        i = ((i % cycle) + cycle) % cycle;
    }
    const std::int32_t before = i == 0 ? cycle - 1 : i - 1;
    const std::int32_t after = wrapIntoCycle(i + 1, cycle);
    const std::int32_t afterNext = wrapIntoCycle(i + 2, cycle);
    return {hermite(left[before], left[i], left[after], left[afterNext], f),
            hermite(right[before], right[i], right[after], right[afterNext], f)};
}

// The waveshaper y = (1 + k) x / (1 + k |x|), k = 2a / (1 - a), a = shape +
// 0.001. From shape 0.999 on the formula divides by zero or flips sign; the
// curve's limit there, sign(x), is used instead.
struct Shaper {
    bool active = false;
    bool hardLimit = false;
    float k = 0.0f;

    explicit Shaper(float shape) {
        if (!(shape > 0.0f)) {
            return;
        }
        active = true;
        const float a = shape + 0.001f;
        if (a < 1.0f) {
            k = 2.0f * a / (1.0f - a);
        } else {
            hardLimit = true;
        }
    }

    float operator()(float x) const {
        if (!active) {
            return x;
        }
        if (hardLimit) {
            return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f);
        }
        const float magnitude = x < 0.0f ? -x : x;
        return (1.0f + k) * x / (1.0f + k * magnitude);
    }
};

}  // namespace tramvek
