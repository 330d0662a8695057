#include "engine/loaded_audio.h"

#include <algorithm>
#include <thread>

#include "engine/shared_samples.h"

namespace tramvek {

LoadedAudio::State LoadedAudio::own() {
    std::int32_t state = state_.load(std::memory_order_seq_cst);
    while (true) {
        if (state == kTaking || state == kOwned) {
            // Only host threads wait: for the audio thread's copy, or another load.
            std::this_thread::yield();
            state = state_.load(std::memory_order_seq_cst);
        } else if (state_.compare_exchange_weak(state, kOwned, std::memory_order_seq_cst)) {
            return static_cast<State>(state);
        }
    }
}

// Readers announce themselves before they check for a published load, and
// the buffers are only freed while owned (so not published): a reader either
// sees no load, or is seen here.
void LoadedAudio::freeUnlessRead() {
    if (readers_.load(std::memory_order_seq_cst) == 0) {
        left_.reset();
        right_.reset();
    }
}

bool LoadedAudio::reserve() {
    own();
    if (!left_ || !right_) {
        left_.reset(static_cast<float*>(std::calloc(static_cast<std::size_t>(capacity_), sizeof(float))));
        right_.reset(static_cast<float*>(std::calloc(static_cast<std::size_t>(capacity_), sizeof(float))));
    }
    if (left_ && right_) {
        return true;
    }
    freeUnlessRead();
    state_.store(kEmpty, std::memory_order_seq_cst);
    return false;
}

void LoadedAudio::publish(std::int32_t samples) {
    samples_ = std::clamp(samples, 0, capacity_);
    state_.store(kPublished, std::memory_order_seq_cst);
}

void LoadedAudio::cancel() {
    own();
    freeUnlessRead();
    state_.store(kEmpty, std::memory_order_seq_cst);
}

void LoadedAudio::release() {
    std::int32_t state = state_.load(std::memory_order_seq_cst);
    if ((state == kEmpty || state == kTaken) &&
        state_.compare_exchange_strong(state, kOwned, std::memory_order_seq_cst)) {
        freeUnlessRead();
        state_.store(kEmpty, std::memory_order_seq_cst);
    }
}

std::int32_t LoadedAudio::takeInto(float* left, float* right) {
    std::int32_t expected = kPublished;
    if (!state_.compare_exchange_strong(expected, kTaking, std::memory_order_acquire)) {
        return 0;
    }
    const std::int32_t samples = samples_;
    for (std::int32_t i = 0; i < samples; ++i) {
        storeSample(left, i, left_.get()[i]);
        storeSample(right, i, right_.get()[i]);
    }
    state_.store(kTaken, std::memory_order_release);
    return samples;
}

LoadedAudio::Reader::Reader(const LoadedAudio& audio) : audio_(audio) {
    audio.readers_.fetch_add(1, std::memory_order_seq_cst);
    pending_ = audio.state_.load(std::memory_order_seq_cst) == kPublished;
}

LoadedAudio::Reader::~Reader() {
    audio_.readers_.fetch_sub(1, std::memory_order_seq_cst);
}

bool LoadedAudio::Reader::pending(const float*& left, const float*& right) const {
    if (!pending_) {
        return false;
    }
    left = audio_.left_.get();
    right = audio_.right_.get();
    return true;
}

}  // namespace tramvek
