// Which samples the editor's waveform shows: one per pixel column of its
// strip, over one record cycle. The engine samples them for the view and the
// editor draws them, so both take the columns and the stride from here.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/engine_counts.h"

namespace tramvek {

// The waveform strip's width in pixels; column k reads sample k x stride, the
// last column (k = width) included.
constexpr std::int32_t kWaveformStripWidth = 450;

// The stride for a record cycle of `cycleSamples` over columns 0..lastColumn.
constexpr std::int32_t waveformStride(std::int32_t cycleSamples, std::int32_t lastColumn) {
    constexpr std::int32_t kShortCycle = 10;
    constexpr std::int32_t kFallbackCycle = 44100;
    constexpr std::int32_t kFallbackStride = 10;
    constexpr std::int32_t kLastSample = EngineCounts::kBufferCapacity - 1;
    std::int32_t cycle = cycleSamples < kShortCycle ? kFallbackCycle : cycleSamples;
    // The last column reads sample lastColumn x stride <= cycle, which must lie in the buffers.
    cycle = std::min(cycle, kLastSample);
    std::int32_t stride = lastColumn > 0 ? cycle / lastColumn : 0;
    if (stride < 1) {
        stride = kFallbackStride;
    }
    return std::min(stride, kLastSample / std::max(lastColumn, 1));
}

}  // namespace tramvek
