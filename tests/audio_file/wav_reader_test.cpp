// The WAV reader: the integer and float encodings other programs write decode
// to the right values; broken, cut or overwritten files are refused with a
// one-line reason of the right kind, and whatever is read fits the bytes.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

#include "audio_file/wav_reader.h"
#include "params/little_endian.h"

namespace tramvek {
namespace {

void storeU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void storeU32(std::uint8_t* p, std::uint32_t v) {
    writeLeU32(p, 0, v);
}

std::vector<std::uint8_t> wavBytes(std::uint16_t tag, int channels, int bits, std::uint32_t rate,
                                   const std::vector<std::uint8_t>& data, bool extensible = false) {
    std::vector<std::uint8_t> out(12);
    std::memcpy(out.data(), "RIFF", 4);
    std::memcpy(out.data() + 8, "WAVE", 4);
    auto chunk = [&](const char* id, const std::vector<std::uint8_t>& body) {
        std::size_t at = out.size();
        out.resize(at + 8);
        std::memcpy(&out[at], id, 4);
        storeU32(&out[at + 4], static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
        if (body.size() % 2 != 0) {
            out.push_back(0);
        }
    };
    std::vector<std::uint8_t> fmt(extensible ? 40 : 16);
    storeU16(&fmt[0], extensible ? 0xFFFE : tag);
    storeU16(&fmt[2], static_cast<std::uint16_t>(channels));
    storeU32(&fmt[4], rate);
    storeU32(&fmt[8], rate * static_cast<std::uint32_t>(channels * bits / 8));
    storeU16(&fmt[12], static_cast<std::uint16_t>(channels * bits / 8));
    storeU16(&fmt[14], static_cast<std::uint16_t>(bits));
    if (extensible) {
        storeU16(&fmt[16], 22);
        storeU16(&fmt[24], tag);
    }
    chunk("fmt ", fmt);
    chunk("LIST", {1, 2, 3});  // an odd-sized chunk before the data, padded
    chunk("data", data);
    storeU32(&out[4], static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

// The audio of a file the reader must take.
StereoAudio decoded(const std::vector<std::uint8_t>& bytes, WavEnd end = WavEnd::kReadWhatIsThere) {
    AudioFileReading reading = readWav(bytes, end);
    EXPECT_TRUE(reading.ok()) << reading.reason;
    return reading.audio;
}

AudioFileProblem problemOf(const std::vector<std::uint8_t>& bytes) {
    return readWav(bytes).problem;
}

TEST(WavReader, IntegerEncodingsDecodeToTheirFullScaleFractions) {
    std::vector<std::uint8_t> pcm16 = {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0x00, 0x00};
    StereoAudio a16 = decoded(wavBytes(1, 2, 16, 44100, pcm16));
    ASSERT_EQ(a16.frames(), 2u);
    EXPECT_EQ(a16.left[0], -1.0f);
    EXPECT_EQ(a16.right[0], 32767.0f / 32768.0f);
    EXPECT_EQ(a16.left[1], 0.5f);

    std::vector<std::uint8_t> pcm24 = {0x00, 0x00, 0x80, 0x00, 0x00, 0x40};
    StereoAudio a24 = decoded(wavBytes(1, 1, 24, 22050, pcm24));
    ASSERT_EQ(a24.frames(), 2u);
    EXPECT_EQ(a24.left[0], -1.0f);
    EXPECT_EQ(a24.left[1], 0.5f);
    EXPECT_EQ(a24.sampleRate, 22050.0);

    StereoAudio a8 = decoded(wavBytes(1, 1, 8, 8000, {0, 128, 192}));
    ASSERT_EQ(a8.frames(), 3u);
    EXPECT_EQ(a8.left[0], -1.0f);
    EXPECT_EQ(a8.left[1], 0.0f);
    EXPECT_EQ(a8.left[2], 0.5f);

    std::vector<std::uint8_t> pcm32(4);
    storeU32(pcm32.data(), 0xC0000000u);
    EXPECT_EQ(decoded(wavBytes(1, 1, 32, 8000, pcm32)).left[0], -0.5f);
}

TEST(WavReader, MonoIsDuplicatedAndExtraChannelsAreDropped) {
    std::vector<std::uint8_t> mono(8);
    storeU32(&mono[0], std::bit_cast<std::uint32_t>(0.25f));
    storeU32(&mono[4], std::bit_cast<std::uint32_t>(-0.75f));
    StereoAudio a = decoded(wavBytes(3, 1, 32, 48000, mono, true));
    ASSERT_EQ(a.frames(), 2u);
    EXPECT_EQ(a.left, a.right);
    EXPECT_EQ(a.right[1], -0.75f);

    std::vector<std::uint8_t> three(12);
    storeU32(&three[0], std::bit_cast<std::uint32_t>(0.1f));
    storeU32(&three[4], std::bit_cast<std::uint32_t>(0.2f));
    storeU32(&three[8], std::bit_cast<std::uint32_t>(0.3f));
    StereoAudio b = decoded(wavBytes(3, 3, 32, 48000, three));
    ASSERT_EQ(b.frames(), 1u);
    EXPECT_EQ(b.left[0], 0.1f);
    EXPECT_EQ(b.right[0], 0.2f);

    std::vector<std::uint8_t> doubles(8);
    std::uint64_t bits = std::bit_cast<std::uint64_t>(-0.125);
    storeU32(&doubles[0], static_cast<std::uint32_t>(bits));
    storeU32(&doubles[4], static_cast<std::uint32_t>(bits >> 32));
    EXPECT_EQ(decoded(wavBytes(3, 1, 64, 48000, doubles)).left[0], -0.125f);
}

TEST(WavReader, BrokenFilesAreRefusedByKindAndAShortDataChunkKeepsWholeFrames) {
    std::vector<std::uint8_t> good = wavBytes(1, 2, 16, 44100, {1, 0, 2, 0, 3, 0, 4, 0});
    EXPECT_EQ(problemOf(std::vector<std::uint8_t>(good.begin(), good.begin() + 20)),
              AudioFileProblem::kDamaged);
    std::vector<std::uint8_t> notWav = good;
    std::memcpy(&notWav[8], "AVI ", 4);
    EXPECT_EQ(problemOf(notWav), AudioFileProblem::kNotAudio);
    EXPECT_EQ(problemOf({'I', 'D', '3', 4, 0}), AudioFileProblem::kNotAudio);
    EXPECT_EQ(problemOf(wavBytes(1, 2, 12, 44100, {0, 0, 0})), AudioFileProblem::kUnsupported);
    EXPECT_EQ(problemOf(wavBytes(2, 2, 16, 44100, {0, 0, 0, 0})), AudioFileProblem::kUnsupported);  // ADPCM
    EXPECT_EQ(problemOf(wavBytes(1, 0, 16, 44100, {0, 0})), AudioFileProblem::kDamaged);
    EXPECT_EQ(problemOf(wavBytes(1, 1, 16, 0, {0, 0})), AudioFileProblem::kDamaged);

    // A data size larger than the file (a writer that never finished) is
    // read as far as whole frames go, unless the file must be whole.
    std::vector<std::uint8_t> cut(good.begin(), good.end() - 3);
    StereoAudio a = decoded(cut);
    EXPECT_EQ(a.frames(), 1u);
    EXPECT_EQ(a.left[0], 1.0f / 32768.0f);
    EXPECT_EQ(readWav(cut, WavEnd::kMustBeWhole).problem, AudioFileProblem::kDamaged);
}

// What a file that must be whole (a dropped file, audio to freeze) gets from
// the reader when it was cut short or overwritten: a one-line reason or audio
// that fits the bytes; a cut inside the data is always refused as damaged.
TEST(WavReader, DamagedFilesThatMustBeWholeAreRefusedOrReadWithinTheirBytes) {
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
        ASSERT_TRUE(readWav(whole, WavEnd::kMustBeWhole).ok());

        std::vector<std::uint8_t> damaged = whole;
        const bool cut = trial % 2 == 0;
        if (cut) {
            damaged.resize(below(whole.size()));
        } else {
            for (std::size_t n = 1 + below(8); n > 0; --n) {
                damaged[below(damaged.size())] = static_cast<std::uint8_t>(below(256));
            }
        }
        const AudioFileReading reading = readWav(damaged, WavEnd::kMustBeWhole);
        if (reading.ok()) {
            // Only the pad byte after odd-sized data may go.
            EXPECT_FALSE(cut && damaged.size() < whole.size() - data.size() % 2) << "trial " << trial;
            EXPECT_EQ(reading.audio.left.size(), reading.audio.right.size());
            EXPECT_LE(reading.audio.frames(), damaged.size()) << "trial " << trial;
            EXPECT_GT(reading.audio.sampleRate, 0.0);
            EXPECT_TRUE(reading.reason.empty());
        } else {
            EXPECT_FALSE(reading.reason.empty());
            EXPECT_EQ(reading.reason.find('\n'), std::string::npos) << reading.reason;
            EXPECT_EQ(reading.audio.frames(), 0u);
            if (cut) {
                EXPECT_EQ(reading.problem,
                          damaged.size() < 12 ? AudioFileProblem::kNotAudio : AudioFileProblem::kDamaged)
                    << "trial " << trial;
            }
        }
    }
}

TEST(WavReader, FilesAreReadWholeAndWhatCannotBeOpenedIsSaid) {
    const std::string dir = ::testing::TempDir();
    const std::vector<std::uint8_t> bytes = wavBytes(1, 1, 16, 48000, {0x00, 0x40, 0x00, 0xC0});
    const std::string path = dir + "/reader_test.wav";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size() - 1, file);  // one byte short of the last frame
    std::fclose(file);
    EXPECT_EQ(readWavFile(path).problem, AudioFileProblem::kDamaged);
    file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    const AudioFileReading read = readWavFile(path);
    ASSERT_TRUE(read.ok()) << read.reason;
    EXPECT_EQ(read.audio.left, (std::vector<float>{0.5f, -0.5f}));
    EXPECT_EQ(read.audio.sampleRate, 48000.0);
    EXPECT_EQ(readWavFile(dir + "/no such file.wav").problem, AudioFileProblem::kCannotRead);
    EXPECT_EQ(readWavFile(dir).problem, AudioFileProblem::kCannotRead);
}

}  // namespace
}  // namespace tramvek
