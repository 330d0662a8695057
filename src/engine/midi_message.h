// One short MIDI message from the host, at its sample in the coming block.
#pragma once

#include <cstdint>

namespace tramvek {

struct MidiMessage {
    std::int32_t deltaFrames = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

}  // namespace tramvek
