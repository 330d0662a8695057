// One stored program: the eight parameter values, the pattern length it
// applies to the step sequencer, and its name.
#pragma once

#include <cstdint>

namespace tramvek {

struct ProgramRecord {
    float params[8];
    std::int32_t patternLength;
    char name[24];
};

static_assert(sizeof(ProgramRecord) == 60, "a program record is stored as 60 bytes");

}  // namespace tramvek
