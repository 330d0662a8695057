// The WAV files the host reads and writes: reading is the shared reader's
// (audio_file/wav_reader.h) with its refusals as HostError; writing produces
// 32-bit float stereo.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "audio_file/stereo_audio.h"
#include "audio_file/wav_reader.h"

namespace tramvek {

// Throws HostError with the reason when the bytes are not a WAV file it reads.
StereoAudio decodeWav(std::span<const std::uint8_t> bytes, WavEnd end = WavEnd::kReadWhatIsThere);

// The header of a 32-bit float stereo WAV file holding `frames` frames.
std::vector<std::uint8_t> floatStereoWavHeader(std::uint32_t sampleRate, std::uint64_t frames);

// Frames as the file stores them: left, right, little-endian float32.
void appendFloatStereoFrames(std::vector<std::uint8_t>& out, const float* left, const float* right,
                             std::size_t frames);

// The largest frame count a WAV header's 32-bit sizes can describe.
std::uint64_t maxFloatStereoWavFrames();

}  // namespace tramvek
