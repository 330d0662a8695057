#include "audio_file/wav_reader.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "params/little_endian.h"

namespace tramvek {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

struct WavFormat {
    std::uint16_t tag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bits = 0;
};

AudioFileReading refused(AudioFileProblem problem, std::string reason) {
    AudioFileReading reading;
    reading.problem = problem;
    reading.reason = std::move(reason);
    return reading;
}

std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t readU32(const std::uint8_t* p) {
    return readLeU32(p, 0);
}

bool hasId(const std::uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// The format, or a refusal in `problem`.
WavFormat parseFormat(std::span<const std::uint8_t> fmt, AudioFileReading& problem) {
    if (fmt.size() < 16) {
        problem = refused(AudioFileProblem::kDamaged, "WAV format chunk too short");
        return {};
    }
    WavFormat format;
    format.tag = readU16(&fmt[0]);
    format.channels = readU16(&fmt[2]);
    format.sampleRate = readU32(&fmt[4]);
    format.bits = readU16(&fmt[14]);
    const std::uint16_t blockAlign = readU16(&fmt[12]);
    if (format.tag == kFormatExtensible) {
        if (fmt.size() < 26) {
            problem = refused(AudioFileProblem::kDamaged, "WAV extensible format chunk too short");
            return {};
        }
        // The sub-format GUID starts with the plain format tag.
        format.tag = readU16(&fmt[24]);
    }
    const bool pcm = format.tag == kFormatPcm &&
                     (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32);
    const bool floating = format.tag == kFormatFloat && (format.bits == 32 || format.bits == 64);
    if (!pcm && !floating) {
        problem = refused(AudioFileProblem::kUnsupported, "unsupported WAV encoding (format " +
                                                              std::to_string(format.tag) + ", " +
                                                              std::to_string(format.bits) + " bits)");
        return {};
    }
    if (format.channels < 1 || format.sampleRate == 0 || blockAlign != format.channels * format.bits / 8) {
        problem = refused(AudioFileProblem::kDamaged, "inconsistent WAV format chunk");
    }
    return format;
}

float decodeSample(const std::uint8_t* p, const WavFormat& format) {
    if (format.tag == kFormatFloat) {
        if (format.bits == 32) {
            return std::bit_cast<float>(readU32(p));
        }
        const std::uint64_t bits = std::uint64_t{readU32(p)} | std::uint64_t{readU32(p + 4)} << 32;
        return static_cast<float>(std::bit_cast<double>(bits));
    }
    switch (format.bits) {
        case 8:
            return static_cast<float>(p[0] - 128) / 128.0f;
        case 16:
            return static_cast<float>(static_cast<std::int16_t>(readU16(p))) / 32768.0f;
        case 24: {
            const auto v = static_cast<std::int32_t>(std::uint32_t{p[0]} << 8 | std::uint32_t{p[1]} << 16 |
                                                     std::uint32_t{p[2]} << 24);
            return static_cast<float>(v / 256) / 8388608.0f;
        }
        default:
            return static_cast<float>(static_cast<double>(static_cast<std::int32_t>(readU32(p))) /
                                      2147483648.0);
    }
}

}  // namespace

AudioFileReading readWav(std::span<const std::uint8_t> bytes, WavEnd end) {
    if (bytes.size() < 12 || !hasId(&bytes[0], "RIFF") || !hasId(&bytes[8], "WAVE")) {
        return refused(AudioFileProblem::kNotAudio, "not a WAV file");
    }
    std::span<const std::uint8_t> fmt;
    std::span<const std::uint8_t> data;
    bool haveFmt = false;
    bool haveData = false;
    for (std::size_t pos = 12; pos + 8 <= bytes.size();) {
        const std::uint64_t size = readU32(&bytes[pos + 4]);
        const std::size_t available = bytes.size() - pos - 8;
        if (hasId(&bytes[pos], "fmt ")) {
            if (size > available) {
                return refused(AudioFileProblem::kDamaged, "truncated WAV format chunk");
            }
            fmt = bytes.subspan(pos + 8, static_cast<std::size_t>(size));
            haveFmt = true;
        } else if (hasId(&bytes[pos], "data")) {
            // Streamed files may carry a data size larger than what was written.
            if (size > available && end == WavEnd::kMustBeWhole) {
                return refused(AudioFileProblem::kDamaged, "truncated WAV data chunk");
            }
            data = bytes.subspan(pos + 8, static_cast<std::size_t>(std::min<std::uint64_t>(size, available)));
            haveData = true;
        }
        pos += 8 + static_cast<std::size_t>(std::min<std::uint64_t>(size + (size & 1), available));
    }
    if (!haveFmt || !haveData) {
        return refused(AudioFileProblem::kDamaged,
                       haveFmt ? "WAV file has no data chunk" : "WAV file has no format chunk");
    }
    AudioFileReading reading;
    const WavFormat format = parseFormat(fmt, reading);
    if (!reading.ok()) {
        return reading;
    }
    const auto sampleBytes = static_cast<std::size_t>(format.bits / 8);
    const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(format.channels);
    if (data.size() % frameBytes != 0 && end == WavEnd::kMustBeWhole) {
        return refused(AudioFileProblem::kDamaged, "WAV data chunk ends inside a frame");
    }
    const std::size_t frames = data.size() / frameBytes;
    std::vector<float> samples(frames * static_cast<std::size_t>(format.channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = decodeSample(&data[i * sampleBytes], format);
    }
    reading.audio = stereoFromInterleaved(samples.data(), frames, format.channels, format.sampleRate);
    return reading;
}

AudioFileReading readWavFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return refused(AudioFileProblem::kCannotRead, "not a readable file");
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0) {
        return refused(AudioFileProblem::kCannotRead, "the file cannot be opened or read");
    }
    const bool whole = static_cast<std::uint64_t>(size) <= kWavFileReadLimit;
    std::vector<std::uint8_t> bytes(whole ? static_cast<std::size_t>(size) : kWavFileReadLimit);
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        return refused(AudioFileProblem::kCannotRead, "the file cannot be opened or read");
    }
    return readWav(bytes, whole ? WavEnd::kMustBeWhole : WavEnd::kReadWhatIsThere);
}

}  // namespace tramvek
