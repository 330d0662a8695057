#include "params/program_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tramvek {

void storeProgramName(char (&name)[kProgramNameBytes], const char* text, std::size_t available) {
    const std::size_t length = strnlen(text, std::min(available, kProgramNameBytes - 1));
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        name[i] = c < 0x20 || c == 0x7F ? '?' : text[i];
    }
    std::memset(name + length, 0, kProgramNameBytes - length);
}

void displayProgramName(const char (&stored)[kProgramNameBytes], std::int32_t index, char* text) {
    if (std::strncmp(stored, kDefaultProgramName, kProgramNameBytes) == 0) {
        std::snprintf(text, kProgramNameBytes, "%s %d", kDefaultProgramName, static_cast<int>(index) + 1);
        return;
    }
    const std::size_t length = strnlen(stored, kProgramNameBytes - 1);
    std::memcpy(text, stored, length);
    text[length] = '\0';
}

}  // namespace tramvek
