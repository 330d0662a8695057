#include "formats/frozen_audio_chunk.h"

#include <string>

#include "host_error.h"
#include "params/chunk_layout.h"
#include "params/little_endian.h"

namespace tramvek {
namespace {

namespace layout = chunk_layout;

std::size_t rightChannelOffset(std::size_t samples) {
    return layout::kBankAudio + 4 * samples;
}

}  // namespace

std::size_t frozenPatternSamples(std::span<const std::uint8_t> chunk) {
    if (chunk.size() < layout::kBankBytesWithoutAudio) {
        throw HostError("the bank chunk is not a tramvek bank (" + std::to_string(chunk.size()) + " bytes)");
    }
    const std::int32_t samples = readLeI32(chunk.data(), layout::kBankPatternSamples);
    if (samples < 0 || chunk.size() < layout::bankBytes(static_cast<std::size_t>(samples))) {
        throw HostError("the bank chunk is shorter than its audio says");
    }
    return static_cast<std::size_t>(samples);
}

StereoAudio readFrozenAudio(std::span<const std::uint8_t> chunk, double sampleRate) {
    const std::size_t samples = frozenPatternSamples(chunk);
    if (chunk[layout::kBankFreeze] == 0) {
        throw HostError("the bank's buffer is not frozen: it holds no audio");
    }
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    audio.left.resize(samples);
    audio.right.resize(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        audio.left[i] = readLeF32(chunk.data(), layout::kBankAudio + 4 * i);
        audio.right[i] = readLeF32(chunk.data(), rightChannelOffset(samples) + 4 * i);
    }
    return audio;
}

void writeFrozenAudio(std::vector<std::uint8_t>& chunk, const StereoAudio& audio) {
    const std::size_t samples = frozenPatternSamples(chunk);
    chunk[layout::kBankFreeze] = 1;
    for (std::size_t i = 0; i < samples; ++i) {
        const bool inside = i < audio.frames();
        writeLeF32(chunk.data(), layout::kBankAudio + 4 * i, inside ? audio.left[i] : 0.0f);
        writeLeF32(chunk.data(), rightChannelOffset(samples) + 4 * i, inside ? audio.right[i] : 0.0f);
    }
}

}  // namespace tramvek
