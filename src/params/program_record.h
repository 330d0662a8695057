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

inline constexpr std::size_t kProgramNameBytes = sizeof(ProgramRecord::name);
inline constexpr char kDefaultProgramName[] = "Init";
inline constexpr std::int32_t kDefaultPatternLength = 16;

// Stores the text up to its terminator or `available` bytes, whichever comes
// first, cut to what a record keeps and always terminated. Control
// characters become '?': names come from hosts and files and go to hosts' menus.
void storeProgramName(char (&name)[kProgramNameBytes], const char* text, std::size_t available);

// The name hosts show for program `index`: a default name is numbered ("Init 3").
void displayProgramName(const char (&stored)[kProgramNameBytes], std::int32_t index, char* text);

}  // namespace tramvek
