// Audio buffers the audio thread writes while other threads read them (the
// editor's waveform, saves). Only the audio thread writes them, one relaxed
// atomic store per sample, so its own reads need no atomics; every other
// thread reads each sample with one relaxed atomic load.
#pragma once

#include <atomic>
#include <cstdint>

namespace tramvek {

inline void storeSample(float* buffer, std::int32_t index, float value) {
    std::atomic_ref<float>(buffer[index]).store(value, std::memory_order_relaxed);
}

inline float loadSample(const float* buffer, std::int32_t index) {
    return std::atomic_ref<float>(const_cast<float&>(buffer[index])).load(std::memory_order_relaxed);
}

}  // namespace tramvek
