#include "engine/low_pass.h"

#include <algorithm>

#include "engine/engine_limits.h"
#include "engine/portable_math.h"

namespace tramvek {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kHalfLn2 = 0.34657359027997265471;
constexpr double kMinCutoffHz = 40.0;
constexpr double kCutoffRangeHz = 10000.0;
// Keeps the cutoff below Nyquist at low sample rates (only rates under
// 22.3 kHz are affected), where the bandwidth formula breaks down.
constexpr double kMaxCutoffToRate = 0.45;

}  // namespace

BiquadCoefficients lowPassCoefficients(float cutoff, float resonance, std::int32_t sampleRate) {
    const double fs = sampleRate >= kMinSampleRate ? sampleRate : kFallbackSampleRate;
    const double f0 = std::min(clampUnit(cutoff) * kCutoffRangeHz + kMinCutoffHz, kMaxCutoffToRate * fs);
    const double bandwidth = 1.0 - 0.92 * clampUnit(resonance);
    const double w0 = kTwoPi * f0 / fs;
    const double sinW0 = portableSin(w0);
    const double cosW0 = portableCos(w0);
    const double alpha = sinW0 * portableSinh(kHalfLn2 * bandwidth * w0 / sinW0);
    const double a0 = 1.0 + alpha;
    BiquadCoefficients c;
    c.b0 = static_cast<float>((1.0 - cosW0) / 2.0 / a0);
    c.b1 = static_cast<float>((1.0 - cosW0) / a0);
    c.b2 = static_cast<float>((1.0 - cosW0) / 2.0 / a0);
    c.a1 = static_cast<float>(-2.0 * cosW0 / a0);
    c.a2 = static_cast<float>((1.0 - alpha) / a0);
    return c;
}

}  // namespace tramvek
