#include "plugin/lv2/float_wav.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "params/little_endian.h"

namespace tramvek::lv2 {
namespace {

constexpr std::uint32_t kFormatFloat = 3;
constexpr std::uint32_t kChannels = 2;
constexpr std::uint32_t kSampleBytes = 4;
constexpr std::size_t kHeaderBytes = 44;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void writeTag(std::uint8_t* out, std::size_t offset, const char* tag) {
    std::memcpy(out + offset, tag, 4);
}

void writeLeU16(std::uint8_t* out, std::size_t offset, std::uint32_t value) {
    out[offset] = static_cast<std::uint8_t>(value);
    out[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t readLeU16(const std::uint8_t* in, std::size_t offset) {
    return static_cast<std::uint32_t>(in[offset]) | static_cast<std::uint32_t>(in[offset + 1]) << 8;
}

}  // namespace

bool writeFloatWav(const char* path, const std::uint8_t* left, const std::uint8_t* right,
                   std::uint32_t frames, std::uint32_t sampleRate) {
    const std::size_t dataBytes = static_cast<std::size_t>(frames) * kChannels * kSampleBytes;
    std::vector<std::uint8_t> bytes(kHeaderBytes + dataBytes);
    std::uint8_t* out = bytes.data();
    writeTag(out, 0, "RIFF");
    writeLeU32(out, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    writeTag(out, 8, "WAVE");
    writeTag(out, 12, "fmt ");
    writeLeU32(out, 16, 16);
    writeLeU16(out, 20, kFormatFloat);
    writeLeU16(out, 22, kChannels);
    writeLeU32(out, 24, sampleRate);
    writeLeU32(out, 28, sampleRate * kChannels * kSampleBytes);
    writeLeU16(out, 32, kChannels * kSampleBytes);
    writeLeU16(out, 34, 8 * kSampleBytes);
    writeTag(out, 36, "data");
    writeLeU32(out, 40, static_cast<std::uint32_t>(dataBytes));
    for (std::size_t i = 0; i < frames; ++i) {
        std::memcpy(out + kHeaderBytes + 8 * i, left + 4 * i, 4);
        std::memcpy(out + kHeaderBytes + 8 * i + 4, right + 4 * i, 4);
    }
    File file(std::fopen(path, "wb"));
    return file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
           std::fclose(file.release()) == 0;
}

bool readFloatWav(const char* path, std::vector<std::uint8_t>& left, std::vector<std::uint8_t>& right) {
    File file(std::fopen(path, "rb"));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (std::size_t got = 0;
         file != nullptr && (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool floatStereo = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint8_t* chunk = bytes.data() + at;
        const std::size_t size = readLeU32(chunk, 4);
        if (size > bytes.size() - at - 8) {
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            floatStereo = readLeU16(chunk, 8) == kFormatFloat && readLeU16(chunk, 10) == kChannels &&
                          readLeU16(chunk, 22) == 8 * kSampleBytes;
        } else if (std::memcmp(chunk, "data", 4) == 0 && floatStereo) {
            const std::size_t frames = size / (kChannels * kSampleBytes);
            left.resize(4 * frames);
            right.resize(4 * frames);
            for (std::size_t i = 0; i < frames; ++i) {
                std::memcpy(&left[4 * i], chunk + 8 + 8 * i, 4);
                std::memcpy(&right[4 * i], chunk + 12 + 8 * i, 4);
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

}  // namespace tramvek::lv2
