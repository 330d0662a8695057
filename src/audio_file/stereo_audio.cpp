#include "audio_file/stereo_audio.h"

namespace tramvek {

StereoAudio stereoFromInterleaved(const float* samples, std::size_t frames, int channels, double sampleRate) {
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    audio.left.resize(frames);
    audio.right.resize(frames);
    auto stride = static_cast<std::size_t>(channels);
    std::size_t rightOffset = channels > 1 ? 1 : 0;
    for (std::size_t i = 0; i < frames; ++i) {
        audio.left[i] = samples[i * stride];
        audio.right[i] = samples[i * stride + rightOffset];
    }
    return audio;
}

}  // namespace tramvek
