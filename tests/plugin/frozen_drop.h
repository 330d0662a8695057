// What the file-drop tests share: a WAV file to drop, a plug-in instance
// played block by block on a song at 120 beats per minute, and the frozen
// audio of the bank it saves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/vst2.h"

namespace tramvek::testing {

inline constexpr int kDropBlock = 512;
// Inside the editor's waveform view, in window coordinates.
inline constexpr int kWaveformX = 200;
inline constexpr int kWaveformY = 290;

// One second of a 16-bit stereo file at 48 kHz: a tone on each channel.
void writeToneWav(const std::string& path);
// The plug-in at 44.1 kHz with blocks of kDropBlock, resumed.
void startAt44100(AEffect* effect);
// Block `index` of a silent input: both channels, left first.
std::vector<float> renderBlock(AEffect* effect, int index);
std::vector<std::uint8_t> savedBank(AEffect* effect);
// N, then the frozen audio of a bank chunk (empty unless frozen).
std::vector<std::uint8_t> frozenAudioOf(const std::vector<std::uint8_t>& chunk);

}  // namespace tramvek::testing
