#include "plugin/frozen_drop.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "plugin/loaded_plugin.h"

namespace tramvek::testing {
namespace {

void put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<int>(v & 0xffff));
    put16(out, static_cast<int>(v >> 16));
}

}  // namespace

void writeToneWav(const std::string& path) {
    constexpr std::uint32_t kRate = 48000;
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, kRate);
    put32(out, kRate * 4);
    put16(out, 4);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, kRate * 4);
    for (std::uint32_t i = 0; i < kRate; ++i) {
        put16(out, static_cast<int>(std::lround(16000.0 * std::sin(i * 0.0577))));
        put16(out, static_cast<int>(std::lround(9000.0 * std::sin(i * 0.0131))));
    }
    writeLeU32(out.data(), 4, static_cast<std::uint32_t>(out.size() - 8));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

std::vector<std::uint8_t> savedBank(AEffect* effect) {
    void* data = nullptr;
    const auto size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return bytes != nullptr ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> frozenAudioOf(const std::vector<std::uint8_t>& chunk) {
    namespace layout = chunk_layout;
    if (chunk.size() < layout::kBankAudio || chunk[layout::kBankFreeze] == 0) {
        return {};
    }
    const auto samples = static_cast<std::size_t>(readLeI32(chunk.data(), layout::kBankPatternSamples));
    const auto at = chunk.begin() + layout::kBankPatternSamples;
    std::vector<std::uint8_t> frozen(at, at + 4);
    const std::size_t end = std::min(layout::kBankAudio + 8 * samples, chunk.size());
    frozen.insert(frozen.end(), chunk.begin() + layout::kBankAudio, chunk.begin() + end);
    return frozen;
}

void startAt44100(AEffect* effect) {
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kDropBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

std::vector<float> renderBlock(AEffect* effect, int index) {
    FakeHost::time = {};
    FakeHost::time.sampleRate = 44100.0;
    FakeHost::time.tempo = 120.0;
    FakeHost::time.samplePos = static_cast<double>(index) * kDropBlock;
    FakeHost::time.ppqPos = FakeHost::time.samplePos / 44100.0 * 2.0;
    FakeHost::time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    std::vector<float> in(kDropBlock, 0.0f);
    std::vector<float> left(kDropBlock);
    std::vector<float> right(kDropBlock);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {left.data(), right.data()};
    effect->processReplacing(effect, inputs, outputs, kDropBlock);
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

}  // namespace tramvek::testing
