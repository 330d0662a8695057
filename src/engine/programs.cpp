// The sixteen programs: selecting one applies its values to the engine; names
// are kept per program.
#include <algorithm>

#include "engine/slicer_engine.h"
#include "params/program_record.h"

namespace tramvek {

// The index is another thread's value and the MIDI path reaches the record
// from the audio thread, so it is clamped where it is used.
std::int32_t SlicerEngine::currentProgramIndex() const {
    return std::clamp<std::int32_t>(currentProgram, 0, kProgramCount - 1);
}

StoredProgram& SlicerEngine::currentProgramRecord() {
    return programs[currentProgramIndex()];
}

const StoredProgram& SlicerEngine::currentProgramRecord() const {
    return programs[currentProgramIndex()];
}

void SlicerEngine::applyProgram(std::int32_t program) {
    currentProgram = program;
    const StoredProgram& record = programs[program];
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        setParameter(index, record.params[index]);
    }
    patternLength = record.patternLength;
    patternLengthValue = static_cast<float>(record.patternLength) / static_cast<float>(kStepsPerPattern);
}

void SlicerEngine::selectProgram(std::int32_t program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    applyProgram(program);
    notifyListener(false);
}

void SlicerEngine::renameCurrentProgram(const char* text) {
    if (text != nullptr) {
        // Hosts may send longer texts than a program keeps: cut, never overrun.
        storeProgramName(currentProgramRecord().name, text, kProgramNameBytes - 1);
    }
}

void SlicerEngine::currentProgramName(char* text) const {
    if (text != nullptr) {
        displayProgramName(currentProgramRecord().name, currentProgramIndex(), text);
    }
}

}  // namespace tramvek
