// The voice's low-pass: coefficients shared by both channels (already divided
// by a0) and one direct-form-I history per channel.
#pragma once

#include <cmath>

namespace tramvek {

struct BiquadCoefficients {
    float b0 = 0.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
};

struct BiquadHistory {
    float y1 = 0.0f;  // previous output
    float y2 = 0.0f;  // output before that
    float x1 = 0.0f;  // previous input
    float x2 = 0.0f;  // input before that
};

// Outputs this small are flushed to zero so the recursion never runs on
// denormal values.
inline float runBiquad(const BiquadCoefficients& c, BiquadHistory& h, float x) {
    float y = c.b0 * x + c.b1 * h.x1 + c.b2 * h.x2 - c.a1 * h.y1 - c.a2 * h.y2;
    // 1e-10f is the float nearest 1e-10 and lies above it with no float in
    // between, so this equals the comparison made in double precision.
    if (std::fabs(y) < 1e-10f) {
        y = 0.0f;
    }
    h.x2 = h.x1;
    h.x1 = x;
    h.y2 = h.y1;
    h.y1 = y;
    return y;
}

}  // namespace tramvek
