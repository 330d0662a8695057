// A fixed-capacity queue from one producing thread to one consuming thread,
// without locks or allocation. The consumer looks at the oldest entry, acts
// on it and only then lets it go, so a producer that sees its entries gone
// knows they have been acted on.
#pragma once

#include <atomic>
#include <cstdint>

namespace tramvek {

template <typename T, std::uint32_t Capacity>
class CommandQueue {
    static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0,
                  "a power of two, so the counters wrap cleanly");

  public:
    // --- The producer ---
    // False when full: nothing is queued.
    bool push(const T& entry) {
        const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) {
            return false;
        }
        entries_[tail % Capacity] = entry;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    // How many entries were ever pushed (wraps); compare with done() by difference.
    std::uint32_t pushed() const { return tail_.load(std::memory_order_acquire); }

    // --- The consumer ---
    // The oldest entry, or null when empty; it stays until pop().
    const T* front() const {
        const std::uint32_t head = head_.load(std::memory_order_relaxed);
        return head == tail_.load(std::memory_order_acquire) ? nullptr : &entries_[head % Capacity];
    }
    void pop() { head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

    // --- Any thread ---
    // How many entries were ever acted on (wraps).
    std::uint32_t done() const { return head_.load(std::memory_order_acquire); }
    bool empty() const { return done() == pushed(); }

  private:
    T entries_[Capacity] = {};
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
};

}  // namespace tramvek
