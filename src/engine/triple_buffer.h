// The newest of a series of values, handed from one writing thread to one
// reading thread without locks: the writer fills a slot of its own and
// publishes it, the reader takes the newest published slot. Neither waits and
// neither sees a slot the other is using.
#pragma once

#include <atomic>
#include <cstdint>

namespace tramvek {

template <typename T>
class TripleBuffer {
  public:
    // --- The writer ---
    T& back() { return slots_[back_]; }
    // Makes back() the newest value; back() is then another slot.
    void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex; }

    // --- The reader ---
    // The newest published value (the one read last when nothing newer came);
    // it stays unchanged until the next call.
    const T& read() {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) != 0) {
            front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
        }
        return slots_[front_];
    }

  private:
    static constexpr std::uint32_t kIndex = 3;
    static constexpr std::uint32_t kFresh = 4;

    T slots_[3] = {};
    std::uint32_t back_ = 0;
    std::atomic<std::uint32_t> middle_{1};
    std::uint32_t front_ = 2;
};

}  // namespace tramvek
