// Everything the editor draws, in one piece: the numbers (each as stored; the
// editor brings each into the range its use needs), the steps of the pattern
// it shows, and the play buffers sampled at the columns of its waveform.
#pragma once

#include <cstdint>

#include "engine/editor_snapshot.h"
#include "engine/engine_counts.h"

namespace tramvek {

struct WaveformOverview {
    static constexpr std::int32_t kMaxColumns = 1000;
    // Asked for by the reader: how many columns the picture has; the samples
    // are spread over one record cycle across columns - 1 of them.
    std::int32_t columns = 0;
    std::int32_t stride = 0;  // samples between two columns
    float left[kMaxColumns] = {};
    float right[kMaxColumns] = {};
};

struct EditorView {
    EditorSnapshot values;
    // The shown pattern (values.currentBank, from slot values.patternOffset) of every lane.
    float shownSteps[EngineCounts::kLaneCount][EngineCounts::kStepsPerPattern] = {};
    WaveformOverview waveform;
};

}  // namespace tramvek
