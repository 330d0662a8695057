// Two channels of float samples at a sample rate: what the host feeds a plug-in.
#pragma once

#include <cstddef>
#include <vector>

namespace tramvek {

struct StereoAudio {
    double sampleRate = 44100.0;
    std::vector<float> left;
    std::vector<float> right;

    std::size_t frames() const { return left.size(); }
};

// From interleaved samples: mono is duplicated to both channels, and of more
// than two channels the first two are kept.
StereoAudio stereoFromInterleaved(const float* samples, std::size_t frames, int channels, double sampleRate);

}  // namespace tramvek
