// The host's clock and its built-in material: the musical position it
// reports, and a demo loop that is the same on every build.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "formats/demo_loop.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

TEST(TransportClock, PositionFollowsTempoAndSampleRateFromTheStartPosition) {
    Transport transport{120.0, 44100.0, 0.0};
    EXPECT_EQ(ppqPositionAt(transport, 0.0), 0.0);
    EXPECT_EQ(ppqPositionAt(transport, 22050.0), 1.0);
    EXPECT_EQ(ppqPositionAt(transport, 44100.0 * 60.0), 120.0);

    Transport offset{97.5, 48000.0, 3.25};
    double expected = 3.25 + 123457.0 * 97.5 / (60.0 * 48000.0);
    EXPECT_EQ(ppqPositionAt(offset, 123457.0), expected);
    // A long render keeps double precision: no float rounding creeps in.
    double late = ppqPositionAt(offset, 48000.0 * 3600.0);
    EXPECT_NEAR(late, 3.25 + 97.5 * 60.0, 1e-9);
}

TEST(TransportClock, PlayingRecordCarriesPositionTempoRateAndItsFlags) {
    Transport transport{90.0, 48000.0, 8.0};
    VstTimeInfo info = playingTimeInfo(transport, 4800.0);
    EXPECT_EQ(info.samplePos, 4800.0);
    EXPECT_EQ(info.sampleRate, 48000.0);
    EXPECT_EQ(info.tempo, 90.0);
    EXPECT_EQ(info.ppqPos, 8.0 + 4800.0 * 90.0 / (60.0 * 48000.0));
    EXPECT_EQ(info.flags & (kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid),
              kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid);

    VstTimeInfo stopped = stoppedTimeInfo(transport);
    EXPECT_EQ(stopped.flags & kVstTransportPlaying, 0);
    EXPECT_EQ(stopped.ppqPos, 8.0);
    EXPECT_EQ(stopped.tempo, 90.0);
}

// FNV-1a over the sample bits of both channels.
std::uint64_t fingerprint(const StereoAudio& audio) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::vector<float>* channel : {&audio.left, &audio.right}) {
        for (float sample : *channel) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &sample, 4);
            for (int i = 0; i < 4; ++i) {
                hash = (hash ^ ((bits >> (8 * i)) & 0xFF)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

TEST(DemoLoop, FourBarsAtTheTempoWithEverySixteenthSounding) {
    StereoAudio loop = synthesizeDemoLoop(120.0, 48000.0);
    // Four bars of 4/4 at 120 BPM: 8 seconds.
    ASSERT_EQ(loop.frames(), 384000u);
    EXPECT_EQ(loop.right.size(), loop.frames());
    EXPECT_EQ(loop.sampleRate, 48000.0);
    float peak = 0.0f;
    for (std::size_t i = 0; i < loop.frames(); ++i) {
        ASSERT_TRUE(std::isfinite(loop.left[i]) && std::isfinite(loop.right[i])) << i;
        peak = std::max({peak, std::fabs(loop.left[i]), std::fabs(loop.right[i])});
    }
    EXPECT_GT(peak, 0.5f);
    EXPECT_LT(peak, 0.95f);  // headroom: no clipping when written to integer formats
    // Every sixteenth step has sound near its start (a slicer has something to cut).
    for (std::size_t step = 0; step < 64; ++step) {
        std::size_t start = step * 6000;
        float stepPeak = 0.0f;
        for (std::size_t i = start; i < start + 600; ++i) {
            stepPeak = std::max(stepPeak, std::fabs(loop.right[i]));
        }
        EXPECT_GT(stepPeak, 0.02f) << "step " << step;
    }
    EXPECT_NE(loop.left, loop.right);
}

TEST(DemoLoop, IsTheSameBitForBitOnEveryBuildAndEveryCall) {
    StereoAudio first = synthesizeDemoLoop(120.0, 44100.0);
    StereoAudio second = synthesizeDemoLoop(120.0, 44100.0);
    EXPECT_EQ(fingerprint(first), fingerprint(second));
    // Recorded from the Linux build; the Windows builds must reproduce it
    // (no maths library, no x87, no fused multiply-add).
    EXPECT_EQ(fingerprint(first), 0x5e8baa5e9c3ee241ull) << std::hex << fingerprint(first);
    EXPECT_NE(fingerprint(synthesizeDemoLoop(121.0, 44100.0)), fingerprint(first));
}

}  // namespace
}  // namespace tramvek
