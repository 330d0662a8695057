// Standard MIDI files, types 0 and 1: the channel messages of every track,
// merged in time order, each at its time in seconds from the tempo map
// (tempo events of any track count, as sequencers treat them).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tramvek {

struct TimedMidiMessage {
    double seconds = 0.0;
    std::array<std::uint8_t, 3> bytes{};
    int size = 0;
};

// Throws HostError with the reason for a file it cannot read.
std::vector<TimedMidiMessage> parseMidiFile(std::span<const std::uint8_t> bytes);

}  // namespace tramvek
