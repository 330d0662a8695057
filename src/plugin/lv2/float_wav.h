// The recorded audio of a saved state as a stereo 32-bit float WAV file, so
// that hosts keep it as a file beside the session instead of text inside it.
// Samples travel as the little-endian bytes the bank chunk holds, unchanged.
#pragma once

#include <cstdint>
#include <vector>

namespace tramvek::lv2 {

// `left` and `right`: 4 * frames bytes each.
bool writeFloatWav(const char* path, const std::uint8_t* left, const std::uint8_t* right,
                   std::uint32_t frames, std::uint32_t sampleRate);
// A stereo 32-bit float file (as writeFloatWav writes): each channel's bytes.
bool readFloatWav(const char* path, std::vector<std::uint8_t>& left, std::vector<std::uint8_t>& right);

}  // namespace tramvek::lv2
