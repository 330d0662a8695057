// Band-limited sample-rate conversion: a Kaiser-windowed sinc, its cutoff at
// the lower of the two Nyquist frequencies, so that nothing above the target's
// Nyquist folds back into the audible band.
#pragma once

#include <cstddef>

#include "audio_file/stereo_audio.h"

namespace tramvek {

// The first `maxFrames` frames of `audio` at `rate` (fewer when the audio is
// shorter). Audio already at `rate` is copied sample for sample.
StereoAudio resampled(const StereoAudio& audio, double rate, std::size_t maxFrames);

}  // namespace tramvek
