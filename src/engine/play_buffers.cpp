#include "engine/play_buffers.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/shared_samples.h"

namespace tramvek {
namespace {

float* allocateSamples(std::int32_t capacity) {
    return new (std::nothrow) float[static_cast<std::size_t>(capacity)]();
}

void storeAll(float* target, const float* source, std::int32_t samples) {
    for (std::int32_t i = 0; i < samples; ++i) {
        storeSample(target, i, source[i]);
    }
}

}  // namespace

PlayBuffers::PlayBuffers(std::int32_t capacity) : capacity_(capacity) {
    for (Pair& pair : pair_) {
        pair.left.reset(allocateSamples(capacity));
        pair.right.reset(allocateSamples(capacity));
    }
}

bool PlayBuffers::allocated() const {
    return pair_[0].left && pair_[0].right && pair_[1].left && pair_[1].right;
}

void PlayBuffers::takeRecording(const float* left, const float* right, std::int32_t samples) {
    samples = std::clamp(samples, 0, capacity_);
    const std::int32_t now = current();
    const std::int32_t next = 1 - now;
    // Readers announce themselves before they check which pair is current,
    // and this checks for readers before the pair becomes current: a reader
    // either sees the pair only after the copy, or is seen here.
    if (readers_[next].load(std::memory_order_seq_cst) != 0) {
        storeAll(pair_[now].left.get(), left, samples);
        storeAll(pair_[now].right.get(), right, samples);
        written_ = std::max(written_, samples);
        return;
    }
    Pair& target = pair_[next];
    std::memcpy(target.left.get(), left, sizeof(float) * static_cast<std::size_t>(samples));
    std::memcpy(target.right.get(), right, sizeof(float) * static_cast<std::size_t>(samples));
    if (written_ > samples) {
        // Beyond the recording the pair must hold what the current one holds.
        const std::size_t tail = sizeof(float) * static_cast<std::size_t>(written_ - samples);
        std::memcpy(target.left.get() + samples, pair_[now].left.get() + samples, tail);
        std::memcpy(target.right.get() + samples, pair_[now].right.get() + samples, tail);
    }
    written_ = std::max(written_, samples);
    current_.store(next, std::memory_order_seq_cst);
}

// Rare (a user's flush): the whole pair, so that nothing written any way survives.
void PlayBuffers::clear() {
    float* left = writable(0);
    float* right = writable(1);
    for (std::int32_t i = 0; i < capacity_; ++i) {
        storeSample(left, i, 0.0f);
        storeSample(right, i, 0.0f);
    }
}

void PlayBuffers::noteWritten(std::int32_t samples) {
    written_ = std::max(written_, std::min(samples, capacity_));
}

PlayBuffers::Reader::Reader(const PlayBuffers& buffers) : buffers_(buffers) {
    while (true) {
        pair_ = buffers.current_.load(std::memory_order_seq_cst);
        buffers.readers_[pair_].fetch_add(1, std::memory_order_seq_cst);
        if (buffers.current_.load(std::memory_order_seq_cst) == pair_) {
            return;
        }
        buffers.readers_[pair_].fetch_sub(1, std::memory_order_release);
    }
}

PlayBuffers::Reader::~Reader() {
    buffers_.readers_[pair_].fetch_sub(1, std::memory_order_release);
}

const float* PlayBuffers::Reader::channel(std::int32_t index) const {
    const Pair& pair = buffers_.pair_[pair_];
    return index == 0 ? pair.left.get() : pair.right.get();
}

}  // namespace tramvek
