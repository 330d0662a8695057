// WAV files the host writes: what render writes reads back exactly, through
// the shared reader; lengths a header cannot describe are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/byte_order.h"
#include "formats/wav_codec.h"
#include "host_error.h"

namespace tramvek {
namespace {

TEST(WavCodec, FloatStereoRoundTripKeepsEverySampleAndTheRate) {
    std::vector<float> left = {0.0f, -1.0f, 1.0f, 1e-30f, 0.123456789f, -0.0f, 3.5f};
    std::vector<float> right = {1.0f, 0.5f, -0.25f, -1e-30f, -0.987654321f, 2.0f, -7.0f};
    std::vector<std::uint8_t> file = floatStereoWavHeader(96000, left.size());
    appendFloatStereoFrames(file, left.data(), right.data(), left.size());
    StereoAudio audio = decodeWav(file);
    EXPECT_EQ(audio.sampleRate, 96000.0);
    ASSERT_EQ(audio.frames(), left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(std::memcmp(&audio.left[i], &left[i], 4), 0) << i;
        EXPECT_EQ(std::memcmp(&audio.right[i], &right[i], 4), 0) << i;
    }
    // The RIFF size covers the whole file after its first eight bytes.
    EXPECT_EQ(readU32Le(&file[4]), file.size() - 8);
}

TEST(WavCodec, HeaderRefusesLengthsItsSizeFieldsCannotHold) {
    EXPECT_NO_THROW(floatStereoWavHeader(44100, maxFloatStereoWavFrames()));
    EXPECT_THROW(floatStereoWavHeader(44100, maxFloatStereoWavFrames() + 1), HostError);
}

}  // namespace
}  // namespace tramvek
