// The eight automatable parameters: how a normalised value reaches the engine.
#include <cmath>

#include "engine/slicer_engine.h"
#include "params/parameter_table.h"

namespace tramvek {

static_assert(SlicerEngine::kParamCount == kParameterCount);

void SlicerEngine::setParameter(std::int32_t index, float value) {
    if (isParamIndex(index) && std::isfinite(value)) {
        requestedParams[index] = value;
        applyParameter(index, value);
    }
}

void SlicerEngine::applyParameter(std::int32_t index, float value) {
    // NaN or infinity is no parameter value: storing it would poison the
    // program (and every chunk saved from it) and the engine's arithmetic.
    if (!isParamIndex(index) || !std::isfinite(value)) {
        return;
    }
    currentProgramRecord().params[index] = value;
    paramValues[index] = value;
    if (paramMidiLearn) {
        // While a controller is being learned the engine keeps its sound.
        return;
    }
    switch (index) {
        case kParamAttack:
            attackSq = value * value;
            computeHoldLength();
            break;
        case kParamRelease:
            lengthSq = value * value;
            computeHoldLength();
            break;
        case kParamCutoff:
            cutoffSq = value * value;
            break;
        case kParamReso:
            resonance = value;
            break;
        case kParamShape:
            shape = value;
            break;
        case kParamDryWet:
            dryWet = value;
            break;
        case kParamPitch:
            basePitch = basePitchFor(value);
            break;
        case kParamKeepBuffer:
            keepBuffer = value;
            break;
        default:
            break;
    }
}

void SlicerEngine::setParameterFromHost(std::int32_t index, float value) {
    post({EngineCommand::Kind::kSetParameter, index, 0, value}, CommandSource::kHost);
}

float SlicerEngine::parameter(std::int32_t index) const {
    return isParamIndex(index) ? requestedParams[index].load() : 0.0f;
}

}  // namespace tramvek
