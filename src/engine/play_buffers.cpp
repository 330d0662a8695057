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

void copySamples(float* target, const float* source, std::int32_t begin, std::int32_t end) {
    for (std::int32_t i = begin; i < end; ++i) {
        storeSample(target, i, source[i]);
    }
}

void exchangeSamples(float* a, float* b, std::int32_t begin, std::int32_t end) {
    for (std::int32_t i = begin; i < end; ++i) {
        const float kept = a[i];
        storeSample(a, i, b[i]);
        storeSample(b, i, kept);
    }
}

}  // namespace

PlayBuffers::PlayBuffers(std::int32_t capacity)
    : capacity_(capacity),
      chunkCount_((capacity + kChunk - 1) / kChunk),
      states_(new (std::nothrow) State[static_cast<std::size_t>(chunkCount_)]()),
      extents_(new (std::nothrow) Extent[static_cast<std::size_t>(chunkCount_)]()) {
    for (auto& pair : storage_) {
        for (auto& channel : pair) {
            channel.reset(allocateSamples(capacity));
        }
    }
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        play_[channel].store(storage_[0][channel].get(), std::memory_order_relaxed);
        record_[channel] = storage_[1][channel].get();
    }
}

bool PlayBuffers::allocated() const {
    return storage_[0][0] && storage_[0][1] && storage_[1][0] && storage_[1][1] && states_ && extents_;
}

std::int32_t PlayBuffers::chunkEnd(std::int32_t chunk) const {
    return std::min((chunk + 1) * kChunk, capacity_);
}

void PlayBuffers::ownRecord(std::int32_t chunk, std::int32_t begin, std::int32_t end) {
    allUnsure_ = false;
    State& state = states_[chunk];
    const std::int32_t first = chunk * kChunk;
    if (state == kStale) {
        for (std::int32_t channel = 0; channel < 2; ++channel) {
            copySamples(record_[channel], play(channel), first, chunkEnd(chunk));
        }
        state = kSame;
    }
    if (begin >= end) {
        return;
    }
    const auto from = static_cast<std::int16_t>(begin - first);
    const auto to = static_cast<std::int16_t>(end - first);
    Extent& extent = extents_[chunk];
    if (state == kSame) {
        extent = {from, to};
        state = kDiff;
    } else {
        extent = {std::min(extent.from, from), std::max(extent.to, to)};
    }
}

void PlayBuffers::prepareRecordRange(std::int32_t begin, std::int32_t end) {
    for (std::int32_t chunk = begin / kChunk; chunk * kChunk < end; ++chunk) {
        ownRecord(chunk, std::max(begin, chunk * kChunk), std::min(end, chunkEnd(chunk)));
    }
}

void PlayBuffers::prepareRecord(std::int32_t first, std::int32_t count, std::int32_t cycle) {
    if (count <= 0) {
        return;
    }
    prepareRecordRange(first, first + 1);
    std::int32_t at = first + 1 < cycle ? first + 1 : (first + 1) % cycle;
    std::int32_t left = count - 1;
    while (left > 0) {
        const std::int32_t end = left >= cycle - at ? cycle : at + left;
        prepareRecordRange(at, end);
        left -= end - at;
        if (at == 0) {
            return;  // the whole cycle is prepared
        }
        at = 0;
    }
}

void PlayBuffers::copyIntoPlay(std::int32_t begin, std::int32_t end) {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        copySamples(playWritable(channel), record_[channel], begin, end);
    }
}

// The pairs trade roles; afterwards chunk states describe the new roles.
void PlayBuffers::exchangePairs() {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        float* const oldPlay = playWritable(channel);
        play_[channel].store(record_[channel], std::memory_order_relaxed);
        record_[channel] = oldPlay;
    }
}

void PlayBuffers::takeRecording(std::int32_t samples) {
    samples = std::clamp(samples, 0, capacity_);
    const std::int32_t inside = samples / kChunk;  // chunks wholly inside the recording
    std::int32_t copyCost = 0;
    std::int32_t exchangeCost = 0;
    for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
        const State state = states_[chunk];
        if (chunk < inside) {
            copyCost += state == kDiff || state == kUnsure ? 1 : 0;
            exchangeCost += state == kStale ? 1 : 0;
        } else {
            exchangeCost += state != kSame ? 1 : 0;
        }
    }

    const Change change(*this);
    allUnsure_ = false;
    if (inside < chunkCount_ && samples > inside * kChunk) {
        // The chunk across the end takes the recording's part now; from here
        // on it counts as a chunk beyond the recording.
        ownRecord(inside, 0, 0);
        if (states_[inside] != kSame) {
            const std::int32_t first = inside * kChunk;
            copyIntoPlay(first + extents_[inside].from, std::min(samples, first + extents_[inside].to));
        }
    }
    if (copyCost <= exchangeCost) {
        for (std::int32_t chunk = 0; chunk < inside; ++chunk) {
            if (states_[chunk] == kDiff || states_[chunk] == kUnsure) {
                copyIntoPlay(chunk * kChunk + extents_[chunk].from, chunk * kChunk + extents_[chunk].to);
                states_[chunk] = kSame;
            }
        }
        return;
    }
    exchangePairs();
    for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
        State& state = states_[chunk];
        if (state == kStale) {
            // Both roles hold what the old play pair, now the record pair, holds.
            copyIntoPlay(chunk * kChunk, chunkEnd(chunk));
            state = kSame;
        } else if (state != kSame && chunk < inside) {
            state = kStale;
        } else if (state != kSame) {
            const std::int32_t first = chunk * kChunk;
            for (std::int32_t channel = 0; channel < 2; ++channel) {
                exchangeSamples(playWritable(channel), record_[channel], first + extents_[chunk].from,
                                first + extents_[chunk].to);
            }
        }
    }
}

float* PlayBuffers::writable(std::int32_t channel) {
    // Tests write sample by sample through here: once everything is kUnsure, nothing to do.
    if (!allUnsure_) {
        for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
            ownRecord(chunk, chunk * kChunk, chunkEnd(chunk));
            extents_[chunk] = {0, static_cast<std::int16_t>(chunkEnd(chunk) - chunk * kChunk)};
            states_[chunk] = kUnsure;
        }
        unsure_ = true;
        allUnsure_ = true;
    }
    return playWritable(channel);
}

void PlayBuffers::clear() {
    const Change change(*this);
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        float* samples = writable(channel);
        for (std::int32_t i = 0; i < capacity_; ++i) {
            storeSample(samples, i, 0.0f);
        }
    }
}

void PlayBuffers::settle() {
    if (!unsure_) {
        return;
    }
    for (std::int32_t looked = 0; looked < chunkCount_; ++looked) {
        const std::int32_t chunk = settleCursor_;
        settleCursor_ = (settleCursor_ + 1) % chunkCount_;
        if (states_[chunk] == kUnsure) {
            const std::int32_t begin = chunk * kChunk;
            const auto bytes = sizeof(float) * static_cast<std::size_t>(chunkEnd(chunk) - begin);
            const bool same = std::memcmp(play(0) + begin, record_[0] + begin, bytes) == 0 &&
                              std::memcmp(play(1) + begin, record_[1] + begin, bytes) == 0;
            states_[chunk] = same ? kSame : kDiff;
            allUnsure_ = false;
            return;
        }
    }
    unsure_ = false;
}

const float* PlayBuffers::recording(std::int32_t channel) {
    for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
        ownRecord(chunk, 0, 0);
    }
    return record_[channel];
}

PlayBuffers::Change::Change(PlayBuffers& buffers) : buffers_(buffers) {
    // A read-modify-write: the changes that follow cannot move before it.
    buffers.generation_.fetch_add(1, std::memory_order_acq_rel);
}

PlayBuffers::Change::~Change() {
    buffers_.generation_.fetch_add(1, std::memory_order_release);
}

}  // namespace tramvek
