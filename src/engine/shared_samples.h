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

// One channel as another thread reads it. The audio thread may mark chunks
// of 2^chunkShift samples silent (one bit each, 64 to a word): they read as
// 0 whatever the buffer still holds there.
class SampleReader {
  public:
    explicit SampleReader(const float* samples) : samples_(samples) {}
    SampleReader(const float* samples, const std::atomic<std::uint64_t>* silentChunks,
                 std::int32_t chunkShift)
        : samples_(samples), silentChunks_(silentChunks), chunkShift_(chunkShift) {}

    float operator[](std::int32_t index) const {
        if (silentChunks_ != nullptr) {
            const std::int32_t chunk = index >> chunkShift_;
            // Acquire: a chunk seen audible again has its samples written before.
            const std::uint64_t word = silentChunks_[chunk >> 6].load(std::memory_order_acquire);
            if (((word >> (chunk & 63)) & 1u) != 0) {
                return 0.0f;
            }
        }
        return loadSample(samples_, index);
    }

  private:
    const float* samples_;
    const std::atomic<std::uint64_t>* silentChunks_ = nullptr;
    std::int32_t chunkShift_ = 0;
};

}  // namespace tramvek
