// One stored program: the eight parameter values, the pattern length it
// applies to the step sequencer, and its name.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tramvek {

struct ProgramRecord {
    float params[8];
    std::int32_t patternLength;
    char name[24];
};

static_assert(sizeof(ProgramRecord) == 60, "a program record is stored as 60 bytes");

// Stores the text up to its terminator or `available` bytes, whichever comes
// first, cut to what the record keeps and always terminated. Control
// characters become '?': names come from hosts and files and go to hosts' menus.
void storeProgramName(ProgramRecord& record, const char* text, std::size_t available);

}  // namespace tramvek
