// What the audio thread publishes for other threads to show: the editor's
// numbers, the shown pattern's steps and an overview of the played audio.
// Plain values only, so that it crosses a lock-free hand-off or a plug-in
// format's message port as it is.
#pragma once

#include <cstdint>

#include "engine/editor_snapshot.h"
#include "engine/engine_counts.h"

namespace tramvek {

struct EngineView {
    static constexpr std::int32_t kWaveformColumns = 1000;

    EditorSnapshot snapshot;
    // The shown pattern (from snapshot.patternOffset) of every lane, 0..1 as stored.
    float patternSteps[EngineCounts::kStoredLaneCount][EngineCounts::kStepsPerPattern] = {};
    // The played audio at samples 0, stride, 2 stride ...: waveformCount of each channel.
    std::int32_t waveformStride = 0;
    std::int32_t waveformCount = 0;
    float waveformLeft[kWaveformColumns] = {};
    float waveformRight[kWaveformColumns] = {};
};

}  // namespace tramvek
