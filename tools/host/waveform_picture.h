// A picture of what a slicer did: the input and the output waveforms one
// above the other on the step grid, pattern boundaries marked. Each pattern
// of the input gets a colour; the stretch of the output that plays that
// pattern's recording (the next pattern) gets the same colour.
#pragma once

#include "gui/geometry.h"
#include "gui/raster/pixel_buffer.h"
#include "stereo_audio.h"

namespace tramvek {

struct StepGrid {
    double tempo = 120.0;  // BPM
    int stepsPerBeat = 4;
    int stepsPerPattern = 16;

    double framesPerStep(double sampleRate) const { return sampleRate * 60.0 / tempo / stepsPerBeat; }
};

// Where the two recordings go: one above the other, over the same columns.
inline constexpr Rect kInputLane{70, 54, 70 + 1152, 54 + 160};
inline constexpr Rect kOutputLane{70, 228, 70 + 1152, 228 + 160};

// Both recordings are drawn over the frames of the longer one; the grid
// starts at the first frame.
PixelBuffer drawWaveformPicture(const StereoAudio& input, const StereoAudio& output, const StepGrid& grid);

}  // namespace tramvek
