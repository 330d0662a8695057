// The play buffers against the plain model they stand for: one recording and
// one play audio, a pattern start copying the first N samples of the
// recording over the play audio, a flush writing silence over the play audio.
// Random sequences of recording, starts, flushes and reads (by the voice and
// by other threads) must never tell the two apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/play_buffers.h"
#include "engine_rig.h"

namespace tramvek::test {
namespace {

constexpr std::int32_t kCapacity =
    20 * PlayBuffers::kChunk + 37;  // three words of chunks, a short last chunk

struct Model {
    std::vector<float> recording[2];
    std::vector<float> play[2];
    Model() {
        for (std::int32_t c = 0; c < 2; ++c) {
            recording[c].assign(kCapacity, 0.0f);
            play[c].assign(kCapacity, 0.0f);
        }
    }
};

class RandomUse {
  public:
    explicit RandomUse(std::uint32_t seed) : random_(seed) {}

    void step() {
        const int what = pick(0, 99);
        if (what < 55) {
            record();
        } else if (what < 75) {
            startPattern();
        } else if (what < 80) {
            buffers_.clear();
            for (auto& channel : model_.play) {
                channel.assign(kCapacity, 0.0f);
            }
        } else if (what < 95) {
            checkVoiceRead();
        } else if (what < 98) {
            checkReaders();
        } else {
            checkRecording();
        }
    }

    void checkReaders() {
        buffers_.readStable([&](const SampleReader& left, const SampleReader& right) {
            for (std::int32_t i = 0; i < kCapacity; ++i) {
                ASSERT_EQ(left[i], model_.play[0][i]) << i;
                ASSERT_EQ(right[i], model_.play[1][i]) << i;
            }
        });
    }

    void checkRecording() {
        for (std::int32_t c = 0; c < 2; ++c) {
            const float* recorded = buffers_.recording(c);
            for (std::int32_t i = 0; i < kCapacity; ++i) {
                ASSERT_EQ(recorded[i], model_.recording[c][i]) << c << " " << i;
            }
        }
    }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // As the block loop records: overdub from the record head on, wrapping at the cycle.
    void record() {
        const std::int32_t cycle = pick(1, kCapacity);
        std::int32_t at = pick(0, cycle - 1);
        const std::int32_t count = pick(1, 3 * PlayBuffers::kChunk);
        const float keep = static_cast<float>(pick(0, 2)) * 0.5f;
        buffers_.prepareRecord(at, count, cycle, keep != 0.0f);
        for (std::int32_t k = 0; k < count; ++k) {
            for (std::int32_t c = 0; c < 2; ++c) {
                const float input = static_cast<float>(pick(1, 1000)) * (c == 0 ? 1.0f : -1.0f);
                float* target = buffers_.recordChannel(c);
                storeSample(target, at, target[at] * keep + input);
                model_.recording[c][at] = model_.recording[c][at] * keep + input;
            }
            at = at + 1 < cycle ? at + 1 : 0;
        }
    }

    // Mostly near a chunk border, where the pattern's end falls between the bits.
    void startPattern() {
        std::int32_t samples = pick(0, kCapacity);
        if (pick(0, 1) == 0) {
            samples = std::min(kCapacity, samples / PlayBuffers::kChunk * PlayBuffers::kChunk + pick(-2, 2));
            samples = std::max(samples, 0);
        }
        buffers_.takeRecording(samples);
        for (std::int32_t c = 0; c < 2; ++c) {
            std::copy_n(model_.recording[c].begin(), samples, model_.play[c].begin());
        }
    }

    // What the voice may read from its position on, by up to its span:
    // forward up to the cycle's end and on from 0; backward down to 0 and on
    // from wrapTo; the sample before 0 is cycle - 1.
    void checkVoiceRead() {
        const std::int32_t cycle = pick(4, kCapacity);
        const std::int32_t wrapTo = pick(0, cycle - 1);
        const bool backward = pick(0, 1) == 1;
        const std::int32_t at = pick(0, cycle);
        const std::int32_t reach = pick(0, 600);
        const PlayBuffers::VoiceRead read = buffers_.prepareRead(
            static_cast<float>(at) + 0.25f, static_cast<float>(reach), backward, cycle, wrapTo);
        auto expect = [&](std::int32_t first, std::int32_t last) {
            for (std::int32_t i = std::max(first, 0); i <= std::min(last, kCapacity - 1); ++i) {
                ASSERT_EQ(read.left[i], model_.play[0][i]) << i;
                ASSERT_EQ(read.right[i], model_.play[1][i]) << i;
            }
        };
        const std::int32_t first = backward ? at - reach - 1 : at - 1;
        const std::int32_t last = backward ? at + 2 : at + reach + 2;
        expect(first, last);
        if (first < 0 || last >= cycle) {
            expect(0, reach + 2);
            expect(cycle - 1, cycle - 1);
            if (backward) {
                expect(wrapTo - reach - 1, wrapTo + 2);
            }
        }
    }

    std::mt19937 random_;
    PlayBuffers buffers_{kCapacity};
    Model model_;
};

TEST(PlayBuffers, RecordingStartsFlushesAndReadsMatchTheTwoBufferModel) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        RandomUse run(seed);
        for (int i = 0; i < 400 && !testing::Test::HasFatalFailure(); ++i) {
            run.step();
        }
        run.checkReaders();
        run.checkRecording();
        ASSERT_FALSE(testing::Test::HasFatalFailure()) << "seed " << seed;
    }
}

// A flush marks the play audio silent instead of writing it; the engine must
// sound as if it had written zeros over both play buffers, whenever the
// flush comes, at any block partition, forward and reversed, re-pitched.
TEST(PlayBuffers, AFlushSoundsAsZerosWrittenOverThePlayBuffers) {
    Stereo input(5 * 48000);
    std::uint32_t state = 7u;
    for (std::size_t i = 0; i < input.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        input.left[i] = static_cast<float>(state >> 9) / 4194304.0f - 1.0f;
        input.right[i] = 0.5f * input.left[i];
    }
    const std::vector<std::vector<int>> partitions = {{64}, {37, 1000}, {512, 1}};
    for (const std::vector<int>& blocks : partitions) {
        EngineRig lazy;
        EngineRig eager;
        for (EngineRig* rig : {&lazy, &eager}) {
            rig->effect->engine().setParameter(6, 0.9f);  // pitch up: the voice reads faster
            rig->effect->engine().setParameter(7, 0.5f);  // keep half the recording
            for (std::int32_t slot = 1; slot < SlicerEngine::kSlotCount; slot += 3) {
                stateOf(*rig->effect).steps[0][SlicerEngine::kLaneReverse][slot] = 1.0f;
            }
        }
        std::size_t at = 0;
        for (const std::size_t flushAt : {std::size_t{30000}, std::size_t{54321}, std::size_t{100000},
                                          std::size_t{170000}, input.size()}) {
            Stereo part(flushAt - at);
            std::copy(input.left.begin() + static_cast<std::ptrdiff_t>(at),
                      input.left.begin() + static_cast<std::ptrdiff_t>(flushAt), part.left.begin());
            std::copy(input.right.begin() + static_cast<std::ptrdiff_t>(at),
                      input.right.begin() + static_cast<std::ptrdiff_t>(flushAt), part.right.begin());
            const Stereo heard = lazy.run(part, blocks);
            const Stereo expected = eager.run(part, blocks);
            ASSERT_EQ(heard.left, expected.left) << "before " << flushAt;
            ASSERT_EQ(heard.right, expected.right) << "before " << flushAt;
            lazy.effect->engine().flushBuffer();
            PlayBuffers& buffers = stateOf(*eager.effect).playBuffers;
            const PlayBuffers::Change change(buffers);
            for (std::int32_t c = 0; c < 2; ++c) {
                std::fill_n(buffers.writable(c), SlicerEngine::kBufferCapacity, 0.0f);
            }
            at = flushAt;
        }
    }
}

}  // namespace
}  // namespace tramvek::test
