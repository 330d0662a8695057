// The LV2 control ports show the parameters in the units the VST 2 display
// uses (percent, semitones), and carry the same engine values: a port at N
// gives the engine a value the VST 2 display shows as N, and the defaults
// give the engine's defaults exactly.
#pragma once

#include <cstdint>

namespace tramvek::lv2 {

// Whole steps only: the base pitch, which the engine uses in semitones.
bool portIsInteger(std::int32_t index);

// The port value that shows `value` (0..1), and the engine value for a port
// value (held in the port's range).
float portValueFor(std::int32_t index, float value);
float engineValueFor(std::int32_t index, float port);

}  // namespace tramvek::lv2
