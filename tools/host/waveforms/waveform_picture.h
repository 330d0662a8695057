// A picture of what a slicer did: the input and the output waveforms one
// above the other on the step grid, pattern boundaries marked. Each pattern
// of the input gets a colour; the stretch of the output that plays that
// pattern's recording (the next pattern) gets the same colour. When the
// pattern's steps are labelled, each output step that plays a recording shows
// what it plays under it.
#pragma once

#include <string>
#include <vector>

#include "audio_file/stereo_audio.h"
#include "gui/geometry.h"
#include "gui/raster/pixel_buffer.h"

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

// What one step of the pattern plays: the input step ("<3" backwards) and the pitch ("+12", or empty).
struct StepLabel {
    std::string source;
    std::string pitch;
    // Shown in two more rows when any step repeats or plays by chance.
    std::string repeats;
    std::string chance;
};

// Both recordings are drawn over the frames of the longer one; the grid
// starts at the first frame. Labels, when given, are one per pattern step.
PixelBuffer drawWaveformPicture(const StereoAudio& input, const StereoAudio& output, const StepGrid& grid,
                                const std::vector<StepLabel>& stepLabels = {});

}  // namespace tramvek
