// The recording and the stereo audio the voice plays, in two buffer pairs
// that trade roles. Only the audio thread writes them; the editor and saves
// read the played audio from other threads.
//
// A pattern start makes the first N samples of the play audio the
// recording's, while the play audio beyond N keeps its content (a voice may
// read past N, and the record head overshoots N). Instead of copying, the
// pairs are divided into chunks of kChunk samples, each described by bits
// (64 chunks to a word, so a pattern start works on words, not chunks):
//   none       both pairs hold the same samples;
//   diff       the record pair holds the recording, different from the play
//              audio within a known extent (unsure: maybe not at all);
//   stale      the record pair holds the recording only within its own
//              extent (maybe empty); elsewhere the recording is what the
//              play pair's buffer holds. The recorder copies in just the
//              samples it is about to overdub, so no block copies a chunk;
//   silent     the play audio reads as silence whatever the play pair's
//              buffer holds (a flush marks every chunk silent at once); it
//              is written with zeros only when the voice is about to read it.
// A pattern start either exchanges the pairs (recorded chunks inside N
// become stale; stale chunks inside N and changed chunks beyond N cost a
// copy) or copies the recorded extents inside N, when that copies at most a
// chunk more than the exchange: right after a full pattern it is the
// exchange, and when starts follow each other closely (a loop, a note) the
// copy of the few samples recorded since.
//
// Readers on other threads read the play pair through SampleReaders and
// repeat a read that overlapped a change of the play audio (a generation
// counter, odd while the audio thread changes it), so they see one state of
// it without a second copy. Every store into either pair is a storeSample,
// because a reader that overlapped an exchange may still be looking at the
// pair that became the recording.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/shared_samples.h"

namespace tramvek {

class PlayBuffers {
  public:
    static constexpr std::int32_t kChunkShift = 7;
    static constexpr std::int32_t kChunk = 1 << kChunkShift;

    explicit PlayBuffers(std::int32_t capacity);
    bool allocated() const;
    // While no audio thread runs (a host's activation): every page the audio
    // thread writes is made resident and every page it reads mapped, so that
    // it takes no page fault when it first reaches one.
    void residePages();

    // --- The audio thread ---
    // The record pair's channel (0 left, 1 right), written with storeSample.
    float* recordChannel(std::int32_t channel) { return record_[channel]; }
    // Before the record head writes `count` samples from `first` on, wrapping
    // at `cycle` as the block loop does: those samples of the record pair are
    // made its own. `keepsOld`: the record head overdubs what the recording
    // holds there; otherwise it writes them whole, and nothing is copied in.
    void prepareRecord(std::int32_t first, std::int32_t count, std::int32_t cycle, bool keepsOld);
    // Before the voice reads on from `position` by up to `span` samples
    // (backward: towards 0, wrapping to `wrapTo`; forward: wrapping at
    // `cycle` to 0): what it reads. Silence when all it may read is silent;
    // else the play pair, silent chunks it may read written with zeros first.
    struct VoiceRead {
        const float* left;
        const float* right;
    };
    VoiceRead prepareRead(float position, float span, bool backward, std::int32_t cycle, std::int32_t wrapTo);
    // A pattern start: the first `samples` samples become the recording's.
    void takeRecording(std::int32_t samples);
    // A flush: silence in the whole play pair.
    void clear();
    // The play pair's channel for writes other than the above (a load's
    // audio, the accumulating entry, white-box tests), with storeSample while
    // a Change is open. Every chunk counts as changed.
    float* writable(std::int32_t channel);
    // Once per block: checks one chunk marked unsure.
    void settle();

    // Brackets a change of the play audio that readers must not see halfway.
    class Change {
      public:
        explicit Change(PlayBuffers& buffers);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

      private:
        PlayBuffers& buffers_;
    };

    // The recording as it is (white-box tests): every chunk made the record pair's own.
    const float* recording(std::int32_t channel);

    // --- Any other thread ---
    // Calls read(left, right) with SampleReaders of the play pair until a
    // call saw no change of the play audio, a few times at most.
    template <typename Read>
    void readStable(Read read) const {
        for (std::int32_t attempt = 0; attempt < kReadAttempts; ++attempt) {
            const std::uint32_t before = generation_.load(std::memory_order_acquire);
            if (before % 2 == 0) {
                read(reader(0), reader(1));
                // A read-modify-write: the reads above cannot move after it.
                if (generation_.fetch_add(0, std::memory_order_acq_rel) == before) {
                    return;
                }
            }
        }
        read(reader(0), reader(1));
    }

  private:
    static constexpr std::int32_t kReadAttempts = 64;
    // Of a diff chunk: the samples (offsets in the chunk) where the pairs may
    // differ; of a stale chunk: those the record pair holds.
    struct Extent {
        std::int16_t from;
        std::int16_t to;
    };
    struct FreeSamples {
        void operator()(float* samples) const { std::free(samples); }
    };
    using Bits = std::unique_ptr<std::uint64_t[]>;

    const float* play(std::int32_t channel) const { return play_[channel].load(std::memory_order_relaxed); }
    float* playWritable(std::int32_t channel) { return play_[channel].load(std::memory_order_relaxed); }
    SampleReader reader(std::int32_t channel) const {
        return SampleReader(play_[channel].load(std::memory_order_acquire), silent_.get(), kChunkShift);
    }
    std::int32_t chunkEnd(std::int32_t chunk) const;
    std::int32_t chunkLength(std::int32_t chunk) const { return chunkEnd(chunk) - chunk * kChunk; }
    // Chunks of word `word` before chunk `end`, and all valid chunks of it.
    std::uint64_t chunksBefore(std::int32_t word, std::int32_t end) const {
        const std::int32_t count = std::min(end, chunkCount_) - word * 64;
        return count >= 64 ? ~std::uint64_t{0} : count <= 0 ? 0 : (std::uint64_t{1} << count) - 1;
    }
    std::int32_t wordsBefore(std::int32_t chunk) const { return (chunk + 63) / 64; }
    bool isSilent(std::int32_t chunk) const;
    void setSilentWord(std::int32_t word, std::uint64_t bits);
    void setChunk(Bits& bits, std::int32_t chunk, bool on);
    void markDirty(std::int32_t word);
    void updateDirty(std::int32_t word);
    // Calls visit(word) for each word before `end` with a bit set in any map,
    // while visit returns true.
    template <typename Visit>
    void forEachDirtyWord(std::int32_t end, Visit visit) const {
        for (std::int32_t s = 0; s * 64 < wordCount_; ++s) {
            for (std::uint64_t words = dirtyWords_[s]; words != 0; words &= words - 1) {
                const std::int32_t word = s * 64 + std::countr_zero(words);
                if (word >= end || !visit(word)) {
                    return;
                }
            }
        }
    }

    // Samples begin..end (absolute indices, one chunk) of the record pair are about to change.
    void ownRecord(std::int32_t chunk, std::int32_t begin, std::int32_t end, bool keepsOld);
    void prepareRecordRange(std::int32_t begin, std::int32_t end, bool keepsOld);
    // A stale chunk's recording is copied wholly into the record pair.
    void complete(std::int32_t chunk);
    // A silent chunk is written with zeros and sounds (as silence).
    void makeAudible(std::int32_t chunk);
    // Samples first..last (clipped to the buffers): whether all are silent, or
    // making the silent ones audible.
    bool allSilent(std::int64_t first, std::int64_t last) const;
    void makeAudible(std::int64_t first, std::int64_t last);
    void copyIntoPlay(std::int32_t begin, std::int32_t end);
    void copyIntoRecord(std::int32_t begin, std::int32_t end);
    void copyIntoRecordOutsideOwn(std::int32_t chunk);
    void exchangeSamples(std::int32_t begin, std::int32_t end);
    // The chunk across the end of the recording takes the recording's part.
    void takeAcrossEnd(std::int32_t chunk, std::int32_t samples);
    // Whether a pattern start copies fewer samples than the exchange, or about as few.
    bool copyIsCheaper(std::int32_t inside) const;
    void copyInside(std::int32_t inside);
    void exchangeAround(std::int32_t inside);
    void exchangePairs();

    const std::int32_t capacity_;
    const std::int32_t chunkCount_;
    const std::int32_t wordCount_;
    // Calloc'd: pages the audio never reaches take no memory.
    std::unique_ptr<float, FreeSamples> storage_[2][2];  // [pair][channel]
    // What the voice reads in place of silent chunks: never written, so its
    // pages take no memory.
    std::unique_ptr<float, FreeSamples> silence_;
    std::atomic<float*> play_[2] = {};
    float* record_[2] = {};
    Bits diff_;
    Bits unsure_;
    Bits stale_;
    Bits ownSome_;  // of stale chunks: the own extent is not empty
    std::unique_ptr<std::atomic<std::uint64_t>[]> silent_;
    Bits dirtyWords_;  // a bit a word: some map has a bit set there
    std::unique_ptr<Extent[]> extents_;
    bool anySilent_ = false;  // some chunk may be silent
    std::int32_t settleCursor_ = 0;
    bool anyUnsure_ = false;  // some chunk may be unsure
    bool allUnsure_ = false;  // every chunk is
    mutable std::atomic<std::uint32_t> generation_{0};
};

}  // namespace tramvek
