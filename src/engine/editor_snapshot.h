// What the editor draws, each value read once from the engine. Values come as
// stored; the editor brings each into the range its use needs.
#pragma once

#include <cstdint>

#include "engine/engine_counts.h"

namespace tramvek {

struct EditorSnapshot {
    // Parameters and their MIDI learn.
    float paramValues[EngineCounts::kParamCount] = {};
    std::int32_t paramControllers[EngineCounts::kParamCount] = {};
    std::int32_t paramLearnTarget = 0;
    bool paramMidiLearn = false;
    bool frozen = false;
    bool noteToSliceMode = false;

    // Slices and their notes.
    bool sliceNoteLearn = false;
    std::int32_t sliceLearnTarget = 0;
    std::int32_t sliceNotes[EngineCounts::kSliceCount] = {};
    std::int32_t nextStepIndex = 0;
    std::int32_t playingSlot = 0;  // the slot the voice last started
    std::int32_t recordCycleSamples = 0;
    // The frozen buffer's shape: the pattern's length in samples at the rate
    // the audio runs at (both 0 before the first block).
    std::int32_t patternSamples = 0;
    std::int32_t sampleRate = 0;

    // The sequencer.
    std::int32_t currentBank = 0;
    std::int32_t patternOffset = 0;  // first slot of the shown pattern
    std::int32_t currentPattern = 0;
    std::int32_t currentStep = 0;
    std::int32_t patternLength = 0;
    float patternLengthValue = 0.0f;
    float shuffle = 0.0f;
    std::int32_t resolutionIndex = 0;
    bool patternNoteLearn = false;
    std::int32_t patternLearnTarget = 0;
    std::int32_t patternNotes[EngineCounts::kPatternCount] = {};
};

}  // namespace tramvek
