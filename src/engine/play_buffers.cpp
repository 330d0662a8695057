#include "engine/play_buffers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace tramvek {
namespace {

constexpr std::int32_t kWordBits = 64;

float* allocateSamples(std::int32_t capacity) {
    return static_cast<float*>(std::calloc(static_cast<std::size_t>(capacity), sizeof(float)));
}

void copySamples(float* target, const float* source, std::int32_t begin, std::int32_t end) {
    for (std::int32_t i = begin; i < end; ++i) {
        storeSample(target, i, source[i]);
    }
}

bool hasBit(const std::uint64_t* bits, std::int32_t chunk) {
    return ((bits[chunk / kWordBits] >> (chunk % kWordBits)) & 1u) != 0;
}

void setBit(std::uint64_t* bits, std::int32_t chunk, bool on) {
    const std::uint64_t bit = std::uint64_t{1} << (chunk % kWordBits);
    bits[chunk / kWordBits] = on ? bits[chunk / kWordBits] | bit : bits[chunk / kWordBits] & ~bit;
}

// Calls visit(chunk) for each chunk of word `word` set in `bits`.
template <typename Visit>
void forEachChunk(std::int32_t word, std::uint64_t bits, Visit visit) {
    for (; bits != 0; bits &= bits - 1) {
        visit(word * kWordBits + std::countr_zero(bits));
    }
}

// Without a popcount instruction std::popcount is a library call: most masks are empty.
std::int32_t countChunks(std::uint64_t bits) {
    return bits == 0 ? 0 : std::popcount(bits);
}

std::int32_t length(const auto& extent) {
    return extent.to - extent.from;
}

std::unique_ptr<std::uint64_t[]> allocateBits(std::int32_t words) {
    return std::unique_ptr<std::uint64_t[]>(new (std::nothrow)
                                                std::uint64_t[static_cast<std::size_t>(words)]());
}

}  // namespace

PlayBuffers::PlayBuffers(std::int32_t capacity)
    : capacity_(capacity),
      chunkCount_((capacity + kChunk - 1) / kChunk),
      wordCount_((chunkCount_ + kWordBits - 1) / kWordBits),
      silence_(allocateSamples(capacity)),
      diff_(allocateBits(wordCount_)),
      unsure_(allocateBits(wordCount_)),
      stale_(allocateBits(wordCount_)),
      ownSome_(allocateBits(wordCount_)),
      silent_(new (std::nothrow) std::atomic<std::uint64_t>[static_cast<std::size_t>(wordCount_)]()),
      dirtyWords_(allocateBits((wordCount_ + kWordBits - 1) / kWordBits)),
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

void PlayBuffers::residePages() {
    constexpr std::int32_t kPageSamples = 4096 / static_cast<std::int32_t>(sizeof(float));
    float readSum = 0.0f;
    for (std::int32_t i = 0; i < capacity_; i += kPageSamples) {
        for (auto& pair : storage_) {
            for (auto& channel : pair) {
                storeSample(channel.get(), i, loadSample(channel.get(), i));
            }
        }
        // Read only: a never-written page maps the shared zero page.
        readSum += loadSample(silence_.get(), i);
    }
    volatile float keep = readSum;
    static_cast<void>(keep);
}

bool PlayBuffers::allocated() const {
    return storage_[0][0] && storage_[0][1] && storage_[1][0] && storage_[1][1] && silence_ && diff_ &&
           unsure_ && stale_ && ownSome_ && silent_ && dirtyWords_ && extents_;
}

std::int32_t PlayBuffers::chunkEnd(std::int32_t chunk) const {
    return std::min((chunk + 1) * kChunk, capacity_);
}

bool PlayBuffers::isSilent(std::int32_t chunk) const {
    const std::uint64_t word = silent_[chunk / kWordBits].load(std::memory_order_relaxed);
    return ((word >> (chunk % kWordBits)) & 1u) != 0;
}

// Release: a reader that sees a chunk audible again sees the samples written before.
void PlayBuffers::setSilentWord(std::int32_t word, std::uint64_t bits) {
    silent_[word].store(bits, std::memory_order_release);
    if (bits != 0) {
        markDirty(word);
    }
}

void PlayBuffers::setChunk(Bits& bits, std::int32_t chunk, bool on) {
    setBit(bits.get(), chunk, on);
    if (on) {
        markDirty(chunk / kWordBits);
    }
}

void PlayBuffers::markDirty(std::int32_t word) {
    setBit(dirtyWords_.get(), word, true);
}

// After a change of the whole word: dirty again only if a bit is left.
void PlayBuffers::updateDirty(std::int32_t word) {
    const bool dirty = (diff_[word] | unsure_[word] | stale_[word] | ownSome_[word] |
                        silent_[word].load(std::memory_order_relaxed)) != 0;
    setBit(dirtyWords_.get(), word, dirty);
}

void PlayBuffers::copyIntoPlay(std::int32_t begin, std::int32_t end) {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        copySamples(playWritable(channel), record_[channel], begin, end);
    }
}

void PlayBuffers::copyIntoRecord(std::int32_t begin, std::int32_t end) {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        copySamples(record_[channel], play(channel), begin, end);
    }
}

void PlayBuffers::copyIntoRecordOutsideOwn(std::int32_t chunk) {
    const std::int32_t first = chunk * kChunk;
    if (!hasBit(ownSome_.get(), chunk)) {
        copyIntoRecord(first, chunkEnd(chunk));
        return;
    }
    copyIntoRecord(first, first + extents_[chunk].from);
    copyIntoRecord(first + extents_[chunk].to, chunkEnd(chunk));
}

void PlayBuffers::exchangeSamples(std::int32_t begin, std::int32_t end) {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        float* const a = playWritable(channel);
        float* const b = record_[channel];
        for (std::int32_t i = begin; i < end; ++i) {
            const float kept = a[i];
            storeSample(a, i, b[i]);
            storeSample(b, i, kept);
        }
    }
}

void PlayBuffers::complete(std::int32_t chunk) {
    if (!hasBit(stale_.get(), chunk)) {
        return;
    }
    copyIntoRecordOutsideOwn(chunk);
    const bool differs = hasBit(ownSome_.get(), chunk) && !isSilent(chunk);
    setChunk(stale_, chunk, false);
    setChunk(ownSome_, chunk, false);
    setChunk(diff_, chunk, differs);
}

void PlayBuffers::makeAudible(std::int32_t chunk) {
    complete(chunk);
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        float* samples = playWritable(channel);
        for (std::int32_t i = chunk * kChunk; i < chunkEnd(chunk); ++i) {
            storeSample(samples, i, 0.0f);
        }
    }
    setChunk(diff_, chunk, true);
    extents_[chunk] = {0, static_cast<std::int16_t>(chunkLength(chunk))};
    const std::int32_t word = chunk / kWordBits;
    setSilentWord(word,
                  silent_[word].load(std::memory_order_relaxed) & ~(std::uint64_t{1} << (chunk % kWordBits)));
}

void PlayBuffers::makeAudible(std::int64_t first, std::int64_t last) {
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, capacity_ - 1);
    for (std::int64_t chunk = first / kChunk; chunk <= last / kChunk && first <= last; ++chunk) {
        if (isSilent(static_cast<std::int32_t>(chunk))) {
            makeAudible(static_cast<std::int32_t>(chunk));
        }
    }
}

void PlayBuffers::ownRecord(std::int32_t chunk, std::int32_t begin, std::int32_t end, bool keepsOld) {
    allUnsure_ = false;
    const std::int32_t first = chunk * kChunk;
    const auto from = static_cast<std::int16_t>(begin - first);
    const auto to = static_cast<std::int16_t>(end - first);
    Extent& extent = extents_[chunk];
    if (hasBit(stale_.get(), chunk)) {
        // Only the samples about to be overdubbed (and any gap to the own
        // extent, which stays one run) come over from the play pair; samples
        // written whole need nothing of it.
        if (!hasBit(ownSome_.get(), chunk)) {
            if (keepsOld) {
                copyIntoRecord(begin, end);
            }
            extent = {from, to};
            setChunk(ownSome_, chunk, true);
        } else {
            const std::int32_t ownFrom = first + extent.from;
            const std::int32_t ownTo = first + extent.to;
            copyIntoRecord(std::min(keepsOld ? begin : end, ownFrom), ownFrom);
            copyIntoRecord(ownTo, std::max(keepsOld ? end : begin, ownTo));
            extent = {std::min(extent.from, from), std::max(extent.to, to)};
        }
        if (length(extent) == chunkLength(chunk)) {
            setChunk(stale_, chunk, false);
            setChunk(ownSome_, chunk, false);
            setChunk(diff_, chunk, !isSilent(chunk));
        }
        return;
    }
    if (isSilent(chunk)) {
        return;  // what the pairs differ in matters again once the chunk sounds
    }
    if (!hasBit(diff_.get(), chunk)) {
        extent = {from, to};
        setChunk(diff_, chunk, true);
    } else {
        extent = {std::min(extent.from, from), std::max(extent.to, to)};
    }
}

void PlayBuffers::prepareRecordRange(std::int32_t begin, std::int32_t end, bool keepsOld) {
    for (std::int32_t chunk = begin / kChunk; chunk * kChunk < end; ++chunk) {
        ownRecord(chunk, std::max(begin, chunk * kChunk), std::min(end, chunkEnd(chunk)), keepsOld);
    }
}

void PlayBuffers::prepareRecord(std::int32_t first, std::int32_t count, std::int32_t cycle, bool keepsOld) {
    if (count <= 0) {
        return;
    }
    prepareRecordRange(first, first + 1, keepsOld);
    std::int32_t at = first + 1 < cycle ? first + 1 : (first + 1) % cycle;
    std::int32_t left = count - 1;
    while (left > 0) {
        const std::int32_t end = left >= cycle - at ? cycle : at + left;
        prepareRecordRange(at, end, keepsOld);
        left -= end - at;
        if (at == 0) {
            return;  // the whole cycle is prepared
        }
        at = 0;
    }
}

bool PlayBuffers::allSilent(std::int64_t first, std::int64_t last) const {
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, capacity_ - 1);
    for (std::int64_t chunk = first / kChunk; chunk <= last / kChunk && first <= last; ++chunk) {
        if (!isSilent(static_cast<std::int32_t>(chunk))) {
            return false;
        }
    }
    return true;
}

// The interpolation reads from one sample before to two after the position;
// past either end of the cycle the voice wraps, and the sample before 0 is cycle - 1.
PlayBuffers::VoiceRead PlayBuffers::prepareRead(float position, float span, bool backward, std::int32_t cycle,
                                                std::int32_t wrapTo) {
    const VoiceRead played{play(0), play(1)};
    if (!anySilent_) {
        return played;
    }
    if (!std::isfinite(position) || !std::isfinite(span)) {
        makeAudible(0, capacity_ - 1);
        return played;
    }
    constexpr float kFar = 1.0e9f;
    const auto at = static_cast<std::int64_t>(std::clamp(position, -kFar, kFar));
    const auto reach = static_cast<std::int64_t>(std::ceil(std::min(std::fabs(span), kFar))) + 3;
    struct Range {
        std::int64_t first;
        std::int64_t last;
    };
    Range ranges[4] = {
        {backward ? at - reach : at - 2, backward ? at + 3 : at + reach}, {0, -1}, {0, -1}, {0, -1}};
    if (ranges[0].first < 0 || ranges[0].last >= cycle) {
        ranges[1] = {0, reach + 3};
        ranges[2] = {std::int64_t{cycle} - 1, std::int64_t{cycle} - 1};
        if (backward) {
            ranges[3] = {std::int64_t{wrapTo} - reach, std::int64_t{wrapTo} + 3};
        }
    }
    bool silent = true;
    for (const Range& range : ranges) {
        silent = silent && allSilent(range.first, range.last);
    }
    if (silent) {
        return {silence_.get(), silence_.get()};
    }
    for (const Range& range : ranges) {
        makeAudible(range.first, range.last);
    }
    return played;
}

void PlayBuffers::takeAcrossEnd(std::int32_t chunk, std::int32_t samples) {
    if (isSilent(chunk)) {
        makeAudible(chunk);
    }
    const std::int32_t first = chunk * kChunk;
    Extent& extent = extents_[chunk];
    if (hasBit(stale_.get(), chunk)) {
        if (hasBit(ownSome_.get(), chunk)) {
            copyIntoPlay(first + extent.from, std::min(samples, first + extent.to));
        }
        return;
    }
    if (hasBit(diff_.get(), chunk)) {
        copyIntoPlay(first + extent.from, std::min(samples, first + extent.to));
        // The pairs now differ only beyond the recording, if at all.
        const auto end = static_cast<std::int16_t>(samples - first);
        extent.from = std::max(extent.from, end);
        setChunk(diff_, chunk, extent.from < extent.to);
        setChunk(unsure_, chunk, hasBit(unsure_.get(), chunk) && extent.from < extent.to);
    }
}

// Counted in chunks where the copy would copy (most of) chunks, so that a
// start after a full pattern visits words, not every recorded chunk.
bool PlayBuffers::copyIsCheaper(std::int32_t inside) const {
    const auto extentOf = [&](std::int32_t chunk) { return length(extents_[chunk]); };
    std::int64_t exchange = 0;
    std::int64_t copy = 0;
    forEachDirtyWord(wordCount_, [&](std::int32_t w) {
        const std::uint64_t in = chunksBefore(w, inside);
        const std::uint64_t beyond = chunksBefore(w, chunkCount_) & ~in;
        const std::uint64_t silent = silent_[w].load(std::memory_order_relaxed);
        const std::uint64_t stale = stale_[w];
        const std::uint64_t own = ownSome_[w];
        copy += std::int64_t{kChunk} * countChunks(in & (diff_[w] | (stale & own) | (silent & ~stale)));
        forEachChunk(w, in & stale, [&](std::int32_t c) {
            exchange += kChunk - (hasBit(ownSome_.get(), c) ? extentOf(c) : 0);
        });
        forEachChunk(w, beyond & diff_[w], [&](std::int32_t c) { exchange += extentOf(c); });
        exchange += std::int64_t{kChunk} * countChunks(beyond & ~silent & stale);
        forEachChunk(w, beyond & silent & stale & own, [&](std::int32_t c) { exchange += extentOf(c); });
        return true;
    });
    // Small copies are made now rather than left to the recorder.
    return copy <= exchange + kChunk;
}

void PlayBuffers::copyInside(std::int32_t inside) {
    forEachDirtyWord(wordsBefore(inside), [&](std::int32_t w) {
        const std::uint64_t in = chunksBefore(w, inside);
        const std::uint64_t silent = silent_[w].load(std::memory_order_relaxed);
        const std::uint64_t stale = stale_[w];
        forEachChunk(w, in & diff_[w] & ~silent, [&](std::int32_t c) {
            copyIntoPlay(c * kChunk + extents_[c].from, c * kChunk + extents_[c].to);
        });
        // Stale chunks: the play pair holds the rest of the recording already.
        forEachChunk(w, in & stale & ownSome_[w], [&](std::int32_t c) {
            copyIntoPlay(c * kChunk + extents_[c].from, c * kChunk + extents_[c].to);
        });
        forEachChunk(w, in & silent & ~stale, [&](std::int32_t c) { copyIntoPlay(c * kChunk, chunkEnd(c)); });
        diff_[w] &= ~in;
        unsure_[w] &= ~in;
        ownSome_[w] &= ~in;
        setSilentWord(w, silent & ~in);
        updateDirty(w);
        return true;
    });
}

// Chunk by chunk what the exchange means (in the roles before it):
//   inside, stale: the record pair takes the rest of the recording; stale after;
//   inside, recorded or silent: the record pair becomes the play pair; stale after;
//   beyond, audible and recorded: the extents trade places; recorded after;
//   beyond, audible and stale: the record pair takes the play audio and the
//     pairs trade the own extent; recorded (the own extent) after;
//   beyond, silent: the recording changes sides; a stale chunk's own extent
//     goes with the rest of it. Silent after.
void PlayBuffers::exchangeAround(std::int32_t inside) {
    // Words without a bit set stay as they are. The copies are made in the
    // roles before the exchange, the bits are those after it.
    forEachDirtyWord(wordCount_, [&](std::int32_t w) {
        const std::uint64_t in = chunksBefore(w, inside);
        const std::uint64_t beyond = chunksBefore(w, chunkCount_) & ~in;
        const std::uint64_t silent = silent_[w].load(std::memory_order_relaxed);
        const std::uint64_t stale = stale_[w];
        const std::uint64_t diff = diff_[w];
        const std::uint64_t own = ownSome_[w];
        const std::uint64_t audibleBeyond = beyond & ~silent;
        forEachChunk(w, in & stale, [&](std::int32_t c) { copyIntoRecordOutsideOwn(c); });
        forEachChunk(w, audibleBeyond & diff, [&](std::int32_t c) {
            exchangeSamples(c * kChunk + extents_[c].from, c * kChunk + extents_[c].to);
        });
        forEachChunk(w, audibleBeyond & stale, [&](std::int32_t c) {
            copyIntoRecordOutsideOwn(c);
            if (hasBit(ownSome_.get(), c)) {
                exchangeSamples(c * kChunk + extents_[c].from, c * kChunk + extents_[c].to);
            }
        });
        forEachChunk(w, beyond & silent & stale & own, [&](std::int32_t c) {
            copyIntoPlay(c * kChunk + extents_[c].from, c * kChunk + extents_[c].to);
        });
        stale_[w] = (in & (stale | diff | silent)) | (beyond & silent & ~stale);
        diff_[w] = audibleBeyond & ((diff & ~stale) | (own & stale));
        unsure_[w] &= audibleBeyond & ~stale;
        ownSome_[w] = 0;
        setSilentWord(w, silent & ~in);
        updateDirty(w);
        return true;
    });
    exchangePairs();
}

// The pairs trade roles; afterwards chunk bits describe the new roles.
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
    const Change change(*this);
    allUnsure_ = false;
    if (inside < chunkCount_ && samples > inside * kChunk) {
        // From here on the chunk across the end counts as one beyond the recording.
        takeAcrossEnd(inside, samples);
    }
    if (copyIsCheaper(inside)) {
        copyInside(inside);
    } else {
        exchangeAround(inside);
    }
    if (anySilent_) {
        anySilent_ = false;
        forEachDirtyWord(wordCount_, [&](std::int32_t w) {
            anySilent_ = silent_[w].load(std::memory_order_relaxed) != 0;
            return !anySilent_;
        });
    }
}

float* PlayBuffers::writable(std::int32_t channel) {
    // Tests write sample by sample through here: once everything is unsure, nothing to do.
    if (!allUnsure_) {
        for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
            if (isSilent(chunk)) {
                makeAudible(chunk);
            }
            complete(chunk);
            extents_[chunk] = {0, static_cast<std::int16_t>(chunkLength(chunk))};
        }
        for (std::int32_t w = 0; w < wordCount_; ++w) {
            diff_[w] = chunksBefore(w, chunkCount_);
            unsure_[w] = diff_[w];
            markDirty(w);
        }
        anyUnsure_ = true;
        allUnsure_ = true;
        anySilent_ = false;
    }
    return playWritable(channel);
}

// The recording stays; stale chunks keep their bits, since their recording
// is still what the play pair's buffer holds.
void PlayBuffers::clear() {
    const Change change(*this);
    const auto words = static_cast<std::size_t>(wordCount_);
    std::fill_n(diff_.get(), words, 0);
    std::fill_n(unsure_.get(), words, 0);
    std::fill_n(dirtyWords_.get(), static_cast<std::size_t>(wordsBefore(wordCount_)), ~std::uint64_t{0});
    // Relaxed: readers that overlap the change read again.
    for (std::int32_t w = 0; w < wordCount_; ++w) {
        silent_[w].store(chunksBefore(w, chunkCount_), std::memory_order_relaxed);
    }
    anySilent_ = true;
    allUnsure_ = false;
}

void PlayBuffers::settle() {
    if (!anyUnsure_) {
        return;
    }
    for (std::int32_t looked = 0; looked < chunkCount_; ++looked) {
        const std::int32_t chunk = settleCursor_;
        settleCursor_ = (settleCursor_ + 1) % chunkCount_;
        if (hasBit(unsure_.get(), chunk)) {
            const std::int32_t begin = chunk * kChunk;
            const auto bytes = sizeof(float) * static_cast<std::size_t>(chunkLength(chunk));
            const bool same = std::memcmp(play(0) + begin, record_[0] + begin, bytes) == 0 &&
                              std::memcmp(play(1) + begin, record_[1] + begin, bytes) == 0;
            setChunk(unsure_, chunk, false);
            setChunk(diff_, chunk, !same);
            allUnsure_ = false;
            return;
        }
    }
    anyUnsure_ = false;
}

const float* PlayBuffers::recording(std::int32_t channel) {
    for (std::int32_t chunk = 0; chunk < chunkCount_; ++chunk) {
        complete(chunk);
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
