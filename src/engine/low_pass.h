// The voice's low-pass filter design: a resonant cookbook low-pass whose
// corner follows the cutoff (0..1 over 40 Hz .. 10 kHz) at the host's rate.
#pragma once

#include <cstdint>

#include "engine/biquad.h"

namespace tramvek {

// Rates below the engine's minimum count as the fallback rate.
BiquadCoefficients lowPassCoefficients(float cutoff, float resonance, std::int32_t sampleRate);

}  // namespace tramvek
