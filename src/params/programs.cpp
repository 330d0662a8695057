// The sixteen programs: selecting one applies its values to the engine; names
// are kept per program and shown numbered while they are the default.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/slicer_effect.h"
#include "params/current_program.h"

namespace tramvek {
namespace {

constexpr const char* kDefaultProgramName = "Init";
constexpr std::size_t kNameBytes = sizeof(ProgramRecord::name);

}  // namespace

void storeProgramName(ProgramRecord& record, const char* text, std::size_t available) {
    const std::size_t length = strnlen(text, std::min(available, kNameBytes - 1));
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        record.name[i] = c < 0x20 || c == 0x7F ? '?' : text[i];
    }
    std::memset(record.name + length, 0, kNameBytes - length);
}

void SlicerEffect::applyProgram(std::int32_t program) {
    curProgram = program;
    const ProgramRecord& record = programs[program];
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        applyParameter(index, record.params[index]);
    }
    patternLength = record.patternLength;
    patternLengthValue = static_cast<float>(patternLength) / static_cast<float>(maxPatternLength);
}

void SlicerEffect::setProgram(VstInt32 program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    applyProgram(program);
    notifyEditor(false);
}

void SlicerEffect::setProgramName(char* name) {
    if (name != nullptr) {
        // Hosts may send longer texts than a program keeps: cut, never overrun.
        storeProgramName(currentProgramRecord(*this), name, kNameBytes - 1);
    }
}

void SlicerEffect::getProgramName(char* name) {
    if (name == nullptr) {
        return;
    }
    const char* stored = currentProgramRecord(*this).name;
    if (std::strncmp(stored, kDefaultProgramName, kNameBytes) == 0) {
        std::snprintf(name, kNameBytes, "%s %d", kDefaultProgramName,
                      static_cast<int>(currentProgramIndex(*this)) + 1);
        return;
    }
    const std::size_t length = strnlen(stored, kNameBytes - 1);
    std::memcpy(name, stored, length);
    name[length] = '\0';
}

}  // namespace tramvek
