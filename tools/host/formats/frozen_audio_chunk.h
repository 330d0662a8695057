// The frozen audio in a tramvek bank chunk: the freeze flag, the pattern's
// length in samples (N) and N samples of each channel. The chunk carries no
// sample rate: the audio is at whatever rate the plug-in runs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "audio_file/stereo_audio.h"

namespace tramvek {

// The chunk's N. Throws HostError when the chunk is not a tramvek bank chunk.
std::size_t frozenPatternSamples(std::span<const std::uint8_t> chunk);

// The N frozen frames, labelled with `sampleRate`. Throws HostError when the
// buffer is not frozen.
StereoAudio readFrozenAudio(std::span<const std::uint8_t> chunk, double sampleRate);

// Freezes the buffer holding the first N frames of `audio`, silence after its end.
void writeFrozenAudio(std::vector<std::uint8_t>& chunk, const StereoAudio& audio);

}  // namespace tramvek
