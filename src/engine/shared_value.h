// A value one thread writes while another reads it: an atomic whose plain
// loads and stores are relaxed. Each load is one indivisible read, so a value
// checked and then used cannot change in between when it is first copied to a
// local. Where an order between several values matters, the engine says so
// with an acquire/release pair of its own.
#pragma once

#include <atomic>

namespace tramvek {

template <typename T>
class Shared {
  public:
    static_assert(std::atomic<T>::is_always_lock_free, "the audio thread may not wait on a lock");

    constexpr Shared() noexcept : value_(T{}) {}
    constexpr Shared(T value) noexcept : value_(value) {}  // NOLINT: reads like the plain field it replaces
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }
    T exchange(T value) noexcept { return value_.exchange(value, std::memory_order_relaxed); }

    operator T() const noexcept { return load(); }  // NOLINT: as above
    Shared& operator=(T value) noexcept {
        store(value);
        return *this;
    }

  private:
    std::atomic<T> value_;
};

}  // namespace tramvek
