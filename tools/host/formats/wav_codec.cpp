#include "formats/wav_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "formats/byte_order.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint32_t kFloatFmtSize = 18;
constexpr std::uint32_t kHeaderSize = 12 + (8 + kFloatFmtSize) + (8 + 4) + 8;
constexpr std::uint32_t kBytesPerFrame = 8;

struct WavFormat {
    std::uint16_t tag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bits = 0;
};

bool hasId(const std::uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

WavFormat parseFormat(std::span<const std::uint8_t> fmt) {
    if (fmt.size() < 16) {
        throw HostError("WAV format chunk too short");
    }
    WavFormat format;
    format.tag = readU16Le(&fmt[0]);
    format.channels = readU16Le(&fmt[2]);
    format.sampleRate = readU32Le(&fmt[4]);
    format.bits = readU16Le(&fmt[14]);
    std::uint16_t blockAlign = readU16Le(&fmt[12]);
    if (format.tag == kFormatExtensible) {
        if (fmt.size() < 26) {
            throw HostError("WAV extensible format chunk too short");
        }
        // The sub-format GUID starts with the plain format tag.
        format.tag = readU16Le(&fmt[24]);
    }
    bool pcm = format.tag == kFormatPcm &&
               (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32);
    bool floating = format.tag == kFormatFloat && (format.bits == 32 || format.bits == 64);
    if (!pcm && !floating) {
        throw HostError("unsupported WAV encoding (format " + std::to_string(format.tag) + ", " +
                        std::to_string(format.bits) + " bits)");
    }
    if (format.channels < 1 || format.sampleRate == 0 || blockAlign != format.channels * format.bits / 8) {
        throw HostError("inconsistent WAV format chunk");
    }
    return format;
}

float decodeSample(const std::uint8_t* p, const WavFormat& format) {
    if (format.tag == kFormatFloat) {
        if (format.bits == 32) {
            return std::bit_cast<float>(readU32Le(p));
        }
        std::uint64_t bits = std::uint64_t{readU32Le(p)} | std::uint64_t{readU32Le(p + 4)} << 32;
        return static_cast<float>(std::bit_cast<double>(bits));
    }
    switch (format.bits) {
        case 8:
            return static_cast<float>(p[0] - 128) / 128.0f;
        case 16:
            return static_cast<float>(static_cast<std::int16_t>(readU16Le(p))) / 32768.0f;
        case 24: {
            std::int32_t v = static_cast<std::int32_t>(std::uint32_t{p[0]} << 8 | std::uint32_t{p[1]} << 16 |
                                                       std::uint32_t{p[2]} << 24);
            return static_cast<float>(v / 256) / 8388608.0f;
        }
        default:
            return static_cast<float>(static_cast<double>(static_cast<std::int32_t>(readU32Le(p))) /
                                      2147483648.0);
    }
}

}  // namespace

StereoAudio decodeWav(std::span<const std::uint8_t> bytes, WavEnd end) {
    if (bytes.size() < 12 || !hasId(&bytes[0], "RIFF") || !hasId(&bytes[8], "WAVE")) {
        throw HostError("not a WAV file");
    }
    std::span<const std::uint8_t> fmt;
    std::span<const std::uint8_t> data;
    bool haveFmt = false;
    bool haveData = false;
    for (std::size_t pos = 12; pos + 8 <= bytes.size();) {
        std::uint64_t size = readU32Le(&bytes[pos + 4]);
        std::size_t available = bytes.size() - pos - 8;
        if (hasId(&bytes[pos], "fmt ")) {
            if (size > available) {
                throw HostError("truncated WAV format chunk");
            }
            fmt = bytes.subspan(pos + 8, static_cast<std::size_t>(size));
            haveFmt = true;
        } else if (hasId(&bytes[pos], "data")) {
            // Streamed files may carry a data size larger than what was written.
            if (size > available && end == WavEnd::kMustBeWhole) {
                throw HostError("truncated WAV data chunk");
            }
            data = bytes.subspan(pos + 8, static_cast<std::size_t>(std::min<std::uint64_t>(size, available)));
            haveData = true;
        }
        pos += 8 + static_cast<std::size_t>(std::min<std::uint64_t>(size + (size & 1), available));
    }
    if (!haveFmt || !haveData) {
        throw HostError(haveFmt ? "WAV file has no data chunk" : "WAV file has no format chunk");
    }
    WavFormat format = parseFormat(fmt);
    std::size_t sampleBytes = static_cast<std::size_t>(format.bits / 8);
    std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(format.channels);
    if (data.size() % frameBytes != 0 && end == WavEnd::kMustBeWhole) {
        throw HostError("WAV data chunk ends inside a frame");
    }
    std::size_t frames = data.size() / frameBytes;
    std::vector<float> samples(frames * static_cast<std::size_t>(format.channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = decodeSample(&data[i * sampleBytes], format);
    }
    return stereoFromInterleaved(samples.data(), frames, format.channels, format.sampleRate);
}

std::vector<std::uint8_t> floatStereoWavHeader(std::uint32_t sampleRate, std::uint64_t frames) {
    if (frames > maxFloatStereoWavFrames()) {
        throw HostError("output too long for a WAV file");
    }
    auto dataSize = static_cast<std::uint32_t>(frames * kBytesPerFrame);
    std::vector<std::uint8_t> out(kHeaderSize);
    std::uint8_t* p = out.data();
    auto id = [&](const char* text) {
        std::memcpy(p, text, 4);
        p += 4;
    };
    auto u16 = [&](std::uint16_t v) {
        storeU16Le(p, v);
        p += 2;
    };
    auto u32 = [&](std::uint32_t v) {
        storeU32Le(p, v);
        p += 4;
    };
    id("RIFF");
    u32(kHeaderSize - 8 + dataSize);
    id("WAVE");
    id("fmt ");
    u32(kFloatFmtSize);
    u16(kFormatFloat);
    u16(2);
    u32(sampleRate);
    u32(sampleRate * kBytesPerFrame);
    u16(kBytesPerFrame);
    u16(32);
    u16(0);
    id("fact");
    u32(4);
    u32(static_cast<std::uint32_t>(frames));
    id("data");
    u32(dataSize);
    return out;
}

void appendFloatStereoFrames(std::vector<std::uint8_t>& out, const float* left, const float* right,
                             std::size_t frames) {
    std::size_t offset = out.size();
    out.resize(offset + frames * kBytesPerFrame);
    for (std::size_t i = 0; i < frames; ++i) {
        storeU32Le(&out[offset + i * kBytesPerFrame], std::bit_cast<std::uint32_t>(left[i]));
        storeU32Le(&out[offset + i * kBytesPerFrame + 4], std::bit_cast<std::uint32_t>(right[i]));
    }
}

std::uint64_t maxFloatStereoWavFrames() {
    return (0xFFFFFFFFull - kHeaderSize) / kBytesPerFrame;
}

}  // namespace tramvek
