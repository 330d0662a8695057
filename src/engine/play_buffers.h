// The stereo buffers the voice plays, which the editor and saves read from
// other threads. The audio thread alone writes them. At each pattern start it
// copies the recording into a second pair that no other thread is reading
// (a plain, fast copy) and makes that pair the current one; the rare writes
// to the current pair (a flush, a load's audio, the accumulating entry, a
// pattern start while both pairs are being read) are atomic stores.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace tramvek {

class PlayBuffers {
  public:
    explicit PlayBuffers(std::int32_t capacity);
    bool allocated() const;

    // --- The audio thread ---
    const float* left() const { return pair_[current()].left.get(); }
    const float* right() const { return pair_[current()].right.get(); }
    // The current pair's channel (0 left, 1 right), written with storeSample.
    float* writable(std::int32_t channel) {
        return channel == 0 ? pair_[current()].left.get() : pair_[current()].right.get();
    }
    // A pattern start: the first `samples` samples become the recording's.
    void takeRecording(const float* left, const float* right, std::int32_t samples);
    void clear();
    // The current pair was written up to `samples` (exclusive) other than by takeRecording.
    void noteWritten(std::int32_t samples);

    // --- Any other thread ---
    // Keeps the pair it reads from being copied into; reads with loadSample.
    class Reader {
      public:
        explicit Reader(const PlayBuffers& buffers);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        const float* channel(std::int32_t index) const;

      private:
        const PlayBuffers& buffers_;
        std::int32_t pair_;
    };

  private:
    struct Pair {
        std::unique_ptr<float[]> left;
        std::unique_ptr<float[]> right;
    };

    std::int32_t current() const { return current_.load(std::memory_order_relaxed); }

    const std::int32_t capacity_;
    Pair pair_[2];
    std::atomic<std::int32_t> current_{0};
    mutable std::atomic<std::int32_t> readers_[2] = {};
    // Samples at or beyond this were never written in either pair: both hold zeros there.
    std::int32_t written_ = 0;
};

}  // namespace tramvek
