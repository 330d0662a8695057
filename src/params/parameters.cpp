// The eight automatable parameters: how a normalised value reaches the engine,
// and the texts the host shows for it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/slicer_effect.h"
#include "params/current_program.h"

namespace tramvek {
namespace {

enum ParamIndex : std::int32_t {
    kAttack = 0,
    kRelease = 1,
    kCutoff = 2,
    kReso = 3,
    kShape = 4,
    kDryWet = 5,
    kPitch = 6,
    kKeepBuffer = 7,
};

// The host shows the same text as name and as label.
constexpr const char* kParamNames[SlicerEffect::kParamCount] = {"attack", "release", "cutoff", "reso",
                                                                "shape",  "dry/wet", "pitch",  "keepbuffer"};

bool isParamIndex(VstInt32 index) {
    return index >= 0 && index < SlicerEffect::kParamCount;
}

// -12 - trunc(-24 v) semitones, i.e. floor(24 v) - 12 for v in 0..1. The result
// indexes the pitch table, so values a host sends outside 0..1 are held at the
// ends of the range instead of reaching past them.
std::int32_t basePitchFor(float value) {
    const double semitones = -12.0 - std::trunc(static_cast<double>(-24.0f * value));
    return static_cast<std::int32_t>(std::clamp(semitones, -12.0, 12.0));
}

}  // namespace

void SlicerEffect::applyParameter(std::int32_t index, float value) {
    // NaN or infinity is no parameter value: storing it would poison the
    // program (and every chunk saved from it) and the engine's arithmetic.
    if (!isParamIndex(index) || !std::isfinite(value)) {
        return;
    }
    currentProgramRecord(*this).params[index] = value;
    paramValues[index] = value;
    if (paramMidiLearn) {
        // While a controller is being learned the engine keeps its sound.
        return;
    }
    switch (index) {
        case kAttack:
            attackSq = value * value;
            computeHoldLength();
            break;
        case kRelease:
            lengthSq = value * value;
            computeHoldLength();
            break;
        case kCutoff:
            cutoffSq = value * value;
            break;
        case kReso:
            resonance = value;
            break;
        case kShape:
            shape = value;
            break;
        case kDryWet:
            dryWet = value;
            break;
        case kPitch:
            basePitch = basePitchFor(value);
            break;
        case kKeepBuffer:
            keepBuffer = value;
            break;
        default:
            break;
    }
}

void SlicerEffect::setParameter(VstInt32 index, float value) {
    if (isParamIndex(index)) {
        applyParameter(index, value);
    }
    notifyEditor(true);
}

float SlicerEffect::getParameter(VstInt32 index) {
    return isParamIndex(index) ? paramValues[index] : 0.0f;
}

void SlicerEffect::getParamName(VstInt32 index, char* text) {
    if (isParamIndex(index) && text != nullptr) {
        std::strcpy(text, kParamNames[index]);
    }
}

void SlicerEffect::getParamLabel(VstInt32 index, char* label) {
    getParamName(index, label);
}

void SlicerEffect::getParamDisplay(VstInt32 index, char* text) {
    if (isParamIndex(index) && text != nullptr) {
        formatFloat(paramValues[index], text);
    }
}

}  // namespace tramvek
