// Frozen audio from a loaded state, on its way to the audio thread. The
// loading thread fills a buffer pair of its own and publishes it whole; the
// audio thread takes it at the start of its next block, so it never plays a
// half-written pattern. Until then the loaded audio is what the editor shows
// and what a save writes.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace tramvek {

class LoadedAudio {
  public:
    explicit LoadedAudio(std::int32_t capacity) : capacity_(capacity) {}

    // --- The loading thread (one load at a time) ---
    // Makes the buffers the loader's: a load the audio thread has not taken
    // yet is dropped. Allocates them the first time; false without memory.
    bool reserve();
    // Drops a load the audio thread has not taken yet, waiting out a take in
    // progress (the audio thread's copy); the buffers are then the loader's.
    void cancel();
    // After reserve(): where channel 0 (left) or 1 (right) is written, with
    // storeSample (another thread may still read the load this one replaces).
    float* channel(std::int32_t index) { return index == 0 ? left_.get() : right_.get(); }
    // Hands the first `samples` samples over to the audio thread.
    void publish(std::int32_t samples);

    // --- The audio thread ---
    // Copies a published load into the play buffers: how many samples (0: none).
    std::int32_t takeInto(float* left, float* right);

    // --- Any thread ---
    // The published audio the audio thread has not taken yet: false when there is none.
    bool pending(const float*& left, const float*& right) const;

  private:
    enum State : std::int32_t { kEmpty, kPublished, kTaking };

    const std::int32_t capacity_;
    std::unique_ptr<float[]> left_;
    std::unique_ptr<float[]> right_;
    std::int32_t samples_ = 0;
    std::atomic<std::int32_t> state_{kEmpty};
};

}  // namespace tramvek
