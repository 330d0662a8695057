// Frozen audio from a loaded state, on its way to the audio thread. The
// loading thread fills a buffer pair of its own and publishes it whole; the
// audio thread takes it at the start of its next block, so it never plays a
// half-written pattern. Until then the loaded audio is what the editor shows
// and what a save writes.
//
// The pair exists only while a load needs it: the loader allocates it, and a
// later state call (or a suspend) frees it once the audio thread has taken
// the audio and no reader is looking at it.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tramvek {

class LoadedAudio {
  public:
    explicit LoadedAudio(std::int32_t capacity) : capacity_(capacity) {}

    // --- The host's threads (loads wait for each other) ---
    // Makes the buffers the loader's: a load the audio thread has not taken
    // yet is dropped. Allocates them when needed; false without memory.
    bool reserve();
    // After reserve(): where channel 0 (left) or 1 (right) is written, with
    // storeSample (another thread may still read the load this one replaces).
    float* channel(std::int32_t index) { return index == 0 ? left_.get() : right_.get(); }
    // Hands the first `samples` samples over to the audio thread.
    void publish(std::int32_t samples);
    // Drops a load the audio thread has not taken yet, waiting out a take in
    // progress (the audio thread's copy), and frees the buffers.
    void cancel();
    // Frees the buffers unless a load is still on its way.
    void release();

    // --- The audio thread ---
    bool published() const { return state_.load(std::memory_order_acquire) == kPublished; }
    // Copies a published load into the play buffers: how many samples (0: none).
    std::int32_t takeInto(float* left, float* right);

    // --- Any thread ---
    // Keeps the buffers alive while it reads a load not yet taken.
    class Reader {
      public:
        explicit Reader(const LoadedAudio& audio);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        // The published audio the audio thread has not taken yet: false when there is none.
        bool pending(const float*& left, const float*& right) const;

      private:
        const LoadedAudio& audio_;
        bool pending_;
    };

  private:
    // kOwned: one host thread works on the buffers (a load, or freeing them).
    enum State : std::int32_t { kEmpty, kOwned, kPublished, kTaking, kTaken };

    // Waits until the state may move to kOwned and moves it: the state it left.
    State own();
    void freeUnlessRead();

    struct FreeSamples {
        void operator()(float* samples) const { std::free(samples); }
    };

    const std::int32_t capacity_;
    // Calloc'd: a load writes only the pattern's samples, and only those take memory.
    std::unique_ptr<float, FreeSamples> left_;
    std::unique_ptr<float, FreeSamples> right_;
    std::int32_t samples_ = 0;
    std::atomic<std::int32_t> state_{kEmpty};
    mutable std::atomic<std::int32_t> readers_{0};
};

}  // namespace tramvek
