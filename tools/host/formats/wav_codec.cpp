#include "formats/wav_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "formats/byte_order.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint32_t kFloatFmtSize = 18;
constexpr std::uint32_t kHeaderSize = 12 + (8 + kFloatFmtSize) + (8 + 4) + 8;
constexpr std::uint32_t kBytesPerFrame = 8;

}  // namespace

StereoAudio decodeWav(std::span<const std::uint8_t> bytes, WavEnd end) {
    AudioFileReading reading = readWav(bytes, end);
    if (!reading.ok()) {
        throw HostError(reading.reason);
    }
    return std::move(reading.audio);
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
