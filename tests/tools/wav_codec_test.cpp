// WAV files: what render writes reads back exactly; the integer and float
// encodings other programs write decode to the right values; broken files are
// refused with a reason.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "formats/byte_order.h"
#include "formats/wav_codec.h"
#include "host_error.h"

namespace tramvek {
namespace {

std::vector<std::uint8_t> wavBytes(std::uint16_t tag, int channels, int bits, std::uint32_t rate,
                                   const std::vector<std::uint8_t>& data, bool extensible = false) {
    std::vector<std::uint8_t> out(12);
    std::memcpy(out.data(), "RIFF", 4);
    std::memcpy(out.data() + 8, "WAVE", 4);
    auto chunk = [&](const char* id, const std::vector<std::uint8_t>& body) {
        std::size_t at = out.size();
        out.resize(at + 8);
        std::memcpy(&out[at], id, 4);
        storeU32Le(&out[at + 4], static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
        if (body.size() % 2 != 0) {
            out.push_back(0);
        }
    };
    std::vector<std::uint8_t> fmt(extensible ? 40 : 16);
    storeU16Le(&fmt[0], extensible ? 0xFFFE : tag);
    storeU16Le(&fmt[2], static_cast<std::uint16_t>(channels));
    storeU32Le(&fmt[4], rate);
    storeU32Le(&fmt[8], rate * static_cast<std::uint32_t>(channels * bits / 8));
    storeU16Le(&fmt[12], static_cast<std::uint16_t>(channels * bits / 8));
    storeU16Le(&fmt[14], static_cast<std::uint16_t>(bits));
    if (extensible) {
        storeU16Le(&fmt[16], 22);
        storeU16Le(&fmt[24], tag);
    }
    chunk("fmt ", fmt);
    chunk("LIST", {1, 2, 3});  // an odd-sized chunk before the data, padded
    chunk("data", data);
    storeU32Le(&out[4], static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

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

TEST(WavCodec, IntegerEncodingsDecodeToTheirFullScaleFractions) {
    std::vector<std::uint8_t> pcm16 = {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0x00, 0x00};
    StereoAudio a16 = decodeWav(wavBytes(1, 2, 16, 44100, pcm16));
    ASSERT_EQ(a16.frames(), 2u);
    EXPECT_EQ(a16.left[0], -1.0f);
    EXPECT_EQ(a16.right[0], 32767.0f / 32768.0f);
    EXPECT_EQ(a16.left[1], 0.5f);

    std::vector<std::uint8_t> pcm24 = {0x00, 0x00, 0x80, 0x00, 0x00, 0x40};
    StereoAudio a24 = decodeWav(wavBytes(1, 1, 24, 22050, pcm24));
    ASSERT_EQ(a24.frames(), 2u);
    EXPECT_EQ(a24.left[0], -1.0f);
    EXPECT_EQ(a24.left[1], 0.5f);
    EXPECT_EQ(a24.sampleRate, 22050.0);

    StereoAudio a8 = decodeWav(wavBytes(1, 1, 8, 8000, {0, 128, 192}));
    ASSERT_EQ(a8.frames(), 3u);
    EXPECT_EQ(a8.left[0], -1.0f);
    EXPECT_EQ(a8.left[1], 0.0f);
    EXPECT_EQ(a8.left[2], 0.5f);

    std::vector<std::uint8_t> pcm32(4);
    storeU32Le(pcm32.data(), 0xC0000000u);
    EXPECT_EQ(decodeWav(wavBytes(1, 1, 32, 8000, pcm32)).left[0], -0.5f);
}

TEST(WavCodec, MonoIsDuplicatedAndExtraChannelsAreDropped) {
    std::vector<std::uint8_t> mono(8);
    storeU32Le(&mono[0], std::bit_cast<std::uint32_t>(0.25f));
    storeU32Le(&mono[4], std::bit_cast<std::uint32_t>(-0.75f));
    StereoAudio a = decodeWav(wavBytes(3, 1, 32, 48000, mono, true));
    ASSERT_EQ(a.frames(), 2u);
    EXPECT_EQ(a.left, a.right);
    EXPECT_EQ(a.right[1], -0.75f);

    std::vector<std::uint8_t> three(12);
    storeU32Le(&three[0], std::bit_cast<std::uint32_t>(0.1f));
    storeU32Le(&three[4], std::bit_cast<std::uint32_t>(0.2f));
    storeU32Le(&three[8], std::bit_cast<std::uint32_t>(0.3f));
    StereoAudio b = decodeWav(wavBytes(3, 3, 32, 48000, three));
    ASSERT_EQ(b.frames(), 1u);
    EXPECT_EQ(b.left[0], 0.1f);
    EXPECT_EQ(b.right[0], 0.2f);

    std::vector<std::uint8_t> doubles(8);
    std::uint64_t bits = std::bit_cast<std::uint64_t>(-0.125);
    storeU32Le(&doubles[0], static_cast<std::uint32_t>(bits));
    storeU32Le(&doubles[4], static_cast<std::uint32_t>(bits >> 32));
    EXPECT_EQ(decodeWav(wavBytes(3, 1, 64, 48000, doubles)).left[0], -0.125f);
}

TEST(WavCodec, BrokenFilesAreRefusedAndAShortDataChunkKeepsWholeFrames) {
    std::vector<std::uint8_t> good = wavBytes(1, 2, 16, 44100, {1, 0, 2, 0, 3, 0, 4, 0});
    EXPECT_THROW(decodeWav(std::vector<std::uint8_t>(good.begin(), good.begin() + 20)), HostError);
    std::vector<std::uint8_t> notWav = good;
    std::memcpy(&notWav[8], "AVI ", 4);
    EXPECT_THROW(decodeWav(notWav), HostError);
    EXPECT_THROW(decodeWav(wavBytes(1, 2, 12, 44100, {0, 0, 0})), HostError);
    EXPECT_THROW(decodeWav(wavBytes(2, 2, 16, 44100, {0, 0, 0, 0})), HostError);  // ADPCM
    EXPECT_THROW(decodeWav(wavBytes(1, 0, 16, 44100, {0, 0})), HostError);
    EXPECT_THROW(decodeWav(wavBytes(1, 1, 16, 0, {0, 0})), HostError);

    // A data size larger than the file (a writer that never finished) is
    // read as far as whole frames go.
    std::vector<std::uint8_t> cut(good.begin(), good.end() - 3);
    StereoAudio a = decodeWav(cut);
    EXPECT_EQ(a.frames(), 1u);
    EXPECT_EQ(a.left[0], 1.0f / 32768.0f);
}

// What a file that must be whole (audio to freeze) gets from the reader when it
// was cut short or overwritten: a one-line reason or audio that fits the bytes;
// a cut inside the data is always refused.
TEST(WavCodec, DamagedFilesThatMustBeWholeAreRefusedOrReadWithinTheirBytes) {
    std::mt19937 random(20261209);
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const struct {
        std::uint16_t tag;
        int bits;
    } encodings[] = {{1, 16}, {1, 24}, {3, 32}};
    for (int trial = 0; trial < 600; ++trial) {
        const auto encoding = encodings[below(3)];
        const int channels = 1 + static_cast<int>(below(2));
        std::vector<std::uint8_t> data(below(41) * static_cast<std::size_t>(channels * encoding.bits / 8));
        for (std::uint8_t& byte : data) {
            byte = static_cast<std::uint8_t>(below(256));
        }
        const std::vector<std::uint8_t> whole = wavBytes(encoding.tag, channels, encoding.bits, 44100, data);
        ASSERT_NO_THROW(decodeWav(whole, WavEnd::kMustBeWhole));

        std::vector<std::uint8_t> damaged = whole;
        const bool cut = trial % 2 == 0;
        if (cut) {
            damaged.resize(below(whole.size()));
        } else {
            for (std::size_t n = 1 + below(8); n > 0; --n) {
                damaged[below(damaged.size())] = static_cast<std::uint8_t>(below(256));
            }
        }
        try {
            StereoAudio audio = decodeWav(damaged, WavEnd::kMustBeWhole);
            // Only the pad byte after odd-sized data may go.
            EXPECT_FALSE(cut && damaged.size() < whole.size() - data.size() % 2) << "trial " << trial;
            EXPECT_EQ(audio.left.size(), audio.right.size());
            EXPECT_LE(audio.frames(), damaged.size()) << "trial " << trial;
            EXPECT_GT(audio.sampleRate, 0.0);
        } catch (const HostError& e) {
            const std::string reason = e.what();
            EXPECT_FALSE(reason.empty());
            EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
        }
    }
}

TEST(WavCodec, HeaderRefusesLengthsItsSizeFieldsCannotHold) {
    EXPECT_NO_THROW(floatStereoWavHeader(44100, maxFloatStereoWavFrames()));
    EXPECT_THROW(floatStereoWavHeader(44100, maxFloatStereoWavFrames() + 1), HostError);
}

}  // namespace
}  // namespace tramvek
