// The sixteen programs: selecting one applies its values to the engine; names
// are kept per program.
#include <algorithm>

#include "engine/slicer_engine.h"
#include "params/program_record.h"

namespace tramvek {

// The program hosts see: the one last selected, even before it applies.
std::int32_t SlicerEngine::currentProgramIndex() const {
    return std::clamp<std::int32_t>(requestedProgram, 0, kProgramCount - 1);
}

// The program the engine plays: the applying thread's.
std::int32_t SlicerEngine::playingProgramIndex() const {
    return std::clamp<std::int32_t>(currentProgram, 0, kProgramCount - 1);
}

StoredProgram& SlicerEngine::currentProgramRecord() {
    return programs[playingProgramIndex()];
}

const StoredProgram& SlicerEngine::currentProgramRecord() const {
    return programs[playingProgramIndex()];
}

void SlicerEngine::applyProgram(std::int32_t program) {
    currentProgram = program;
    const StoredProgram& record = programs[program];
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        applyParameter(index, record.params[index]);
    }
    const std::int32_t length = record.patternLength;
    patternLength = length;
    patternLengthValue = static_cast<float>(length) / static_cast<float>(kStepsPerPattern);
}

void SlicerEngine::selectProgram(std::int32_t program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    applyProgram(program);
    mirrorProgram();
    notifyListener(false);
}

void SlicerEngine::selectProgramFromHost(std::int32_t program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    // Hosts read the program's values back before the audio thread applies it.
    requestedProgram = program;
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        requestedParams[index] = programs[program].params[index].load();
    }
    post({EngineCommand::Kind::kSelectProgram, program}, CommandSource::kHost);
}

void SlicerEngine::renameCurrentProgram(const char* text) {
    if (text != nullptr) {
        // Hosts may send longer texts than a program keeps: cut, never overrun.
        storeProgramName(programs[currentProgramIndex()].name, text, kProgramNameBytes - 1);
    }
}

void SlicerEngine::currentProgramName(char* text) const {
    if (text != nullptr) {
        displayProgramName(programs[currentProgramIndex()].name, currentProgramIndex(), text);
    }
}

}  // namespace tramvek
