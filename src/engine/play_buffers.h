// The recording and the stereo audio the voice plays, in two buffer pairs
// that trade roles. Only the audio thread writes them; the editor and saves
// read the played audio from other threads.
//
// A pattern start makes the first N samples of the play audio the
// recording's, while the play audio beyond N keeps its content (a voice may
// read past N, and the record head overshoots N). Instead of copying, the
// pairs are divided into chunks of kChunk samples, each in one state:
//   kSame      both pairs hold the same samples;
//   kDiff      each pair holds its own, different within a known extent
//              (kUnsure: all of it may differ, or none; not checked);
//   kStale     the recording equals the play audio, but only the play pair
//              holds it: the record pair's chunk is copied in before the
//              record head first writes there.
// A pattern start either exchanges the pairs (kDiff chunks inside N become
// kStale; only kStale chunks and changed chunks beyond N cost a copy) or
// copies the kDiff chunks inside N, whichever copies fewer chunks: right
// after a full pattern that is the exchange, and when starts follow each
// other closely (a loop, a note) the copy of the few chunks recorded since.
//
// Readers on other threads read the play pair with loadSample and repeat a
// read that overlapped a change of the play audio (a generation counter,
// odd while the audio thread changes it), so they see one state of it
// without a second copy. Every store into either pair is a storeSample,
// because a reader that overlapped an exchange may still be looking at the
// pair that became the recording.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace tramvek {

class PlayBuffers {
  public:
    static constexpr std::int32_t kChunk = 1024;

    explicit PlayBuffers(std::int32_t capacity);
    bool allocated() const;

    // --- The audio thread ---
    const float* left() const { return play(0); }
    const float* right() const { return play(1); }
    // The record pair's channel (0 left, 1 right), written with storeSample.
    float* recordChannel(std::int32_t channel) { return record_[channel]; }
    // Before the record head writes `count` samples from `first` on, wrapping
    // at `cycle` as the block loop does: those chunks of the record pair are made its own.
    void prepareRecord(std::int32_t first, std::int32_t count, std::int32_t cycle);
    // A pattern start: the first `samples` samples become the recording's.
    void takeRecording(std::int32_t samples);
    // A flush: silence in the whole play pair.
    void clear();
    // The play pair's channel for writes other than the above (a load's
    // audio, the accumulating entry, white-box tests), with storeSample while
    // a Change is open. Every chunk counts as changed.
    float* writable(std::int32_t channel);
    // Once per block: checks one chunk marked kUnsure.
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
    // Calls read(left, right) with the play pair (read each sample with
    // loadSample) until a call saw no change of the play audio, a few times at most.
    template <typename Read>
    void readStable(Read read) const {
        for (std::int32_t attempt = 0; attempt < kReadAttempts; ++attempt) {
            const std::uint32_t before = generation_.load(std::memory_order_acquire);
            if (before % 2 == 0) {
                read(playForReader(0), playForReader(1));
                // A read-modify-write: the reads above cannot move after it.
                if (generation_.fetch_add(0, std::memory_order_acq_rel) == before) {
                    return;
                }
            }
        }
        read(playForReader(0), playForReader(1));
    }

  private:
    enum State : std::uint8_t { kSame, kDiff, kUnsure, kStale };
    static constexpr std::int32_t kReadAttempts = 64;

    const float* play(std::int32_t channel) const { return play_[channel].load(std::memory_order_relaxed); }
    const float* playForReader(std::int32_t channel) const {
        return play_[channel].load(std::memory_order_acquire);
    }
    float* playWritable(std::int32_t channel) { return play_[channel].load(std::memory_order_relaxed); }
    std::int32_t chunkEnd(std::int32_t chunk) const;
    // The record pair's chunk holds the recording (a kStale chunk is copied
    // in), and samples begin..end of it (absolute indices) are about to change there.
    void ownRecord(std::int32_t chunk, std::int32_t begin, std::int32_t end);
    void prepareRecordRange(std::int32_t begin, std::int32_t end);
    void copyIntoPlay(std::int32_t begin, std::int32_t end);
    void exchangePairs();

    const std::int32_t capacity_;
    const std::int32_t chunkCount_;
    std::unique_ptr<float[]> storage_[2][2];  // [pair][channel]
    std::atomic<float*> play_[2] = {};
    float* record_[2] = {};
    std::unique_ptr<State[]> states_;
    // Of a chunk that is neither kSame nor kStale: the samples (from, to
    // offsets in the chunk) where the pairs may differ.
    struct Extent {
        std::int16_t from;
        std::int16_t to;
    };
    std::unique_ptr<Extent[]> extents_;
    std::int32_t settleCursor_ = 0;
    bool unsure_ = false;     // some chunk may be kUnsure
    bool allUnsure_ = false;  // every chunk is
    mutable std::atomic<std::uint32_t> generation_{0};
};

}  // namespace tramvek
