// Writes a step sheet into a tramvek bank chunk: into the lanes of the pattern
// the chunk has current (Chance and Repeat into the group after the trailer),
// and the pattern length (the current program's and the engine's) to the
// sheet's step count, so that any build of the plug-in that keeps the chunk
// layout loads the same pattern.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/step_sheet.h"

namespace tramvek {

// Throws HostError when the chunk is not a tramvek bank chunk, or when the
// sheet sets Chance or Repeat and the chunk has no group to hold them.
void writeStepSheet(std::vector<std::uint8_t>& chunk, const std::vector<SheetStep>& steps);

}  // namespace tramvek
