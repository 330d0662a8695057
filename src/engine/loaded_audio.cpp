#include "engine/loaded_audio.h"

#include <algorithm>
#include <new>
#include <thread>

#include "engine/shared_samples.h"

namespace tramvek {

void LoadedAudio::cancel() {
    std::int32_t state = state_.load(std::memory_order_acquire);
    while (true) {
        if (state == kTaking) {
            // Only the loading thread waits, and only for one copy.
            std::this_thread::yield();
            state = state_.load(std::memory_order_acquire);
        } else if (state == kEmpty ||
                   state_.compare_exchange_weak(state, kEmpty, std::memory_order_acquire)) {
            return;
        }
    }
}

bool LoadedAudio::reserve() {
    cancel();
    if (!left_) {
        left_.reset(new (std::nothrow) float[static_cast<std::size_t>(capacity_)]());
        right_.reset(new (std::nothrow) float[static_cast<std::size_t>(capacity_)]());
    }
    return left_ && right_;
}

void LoadedAudio::publish(std::int32_t samples) {
    samples_ = std::clamp(samples, 0, capacity_);
    state_.store(kPublished, std::memory_order_release);
}

std::int32_t LoadedAudio::takeInto(float* left, float* right) {
    std::int32_t expected = kPublished;
    if (!state_.compare_exchange_strong(expected, kTaking, std::memory_order_acquire)) {
        return 0;
    }
    const std::int32_t samples = samples_;
    for (std::int32_t i = 0; i < samples; ++i) {
        storeSample(left, i, left_[i]);
        storeSample(right, i, right_[i]);
    }
    state_.store(kEmpty, std::memory_order_release);
    return samples;
}

bool LoadedAudio::pending(const float*& left, const float*& right) const {
    if (state_.load(std::memory_order_acquire) != kPublished) {
        return false;
    }
    left = left_.get();
    right = right_.get();
    return true;
}

}  // namespace tramvek
