// MIDI from the host: controllers learned onto parameters, notes learned onto
// patterns, and notes that start slices directly. Runs on the audio thread,
// after the commands other threads posted; the learn targets may hold
// anything a command set, so each is checked where it is used.
#include <algorithm>

#include "engine/slicer_engine.h"
#include "engine/timed_starts.h"

namespace tramvek {
namespace {

constexpr std::int32_t kStatusMask = 0xF0;
constexpr std::int32_t kDataMask = 0x7F;
constexpr std::int32_t kNoteOn = 0x90;
constexpr std::int32_t kControlChange = 0xB0;
constexpr std::int32_t kNoNote = 0;
// value / 127 as the controller path has always computed it.
constexpr float kControllerScale = 0.007874016f;

bool isIndex(std::int32_t index, std::int32_t count) {
    return index >= 0 && index < count;
}

// Learning a number for one entry takes it away from every other entry.
void learnNumber(Shared<std::int32_t>* table, std::int32_t count, std::int32_t target, std::int32_t number) {
    if (!isIndex(target, count)) {
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (table[i] == number) {
            table[i] = 0;
        }
    }
    table[target] = number;
}

}  // namespace

void SlicerEngine::receiveMidi(const MidiMessage* messages, std::int32_t count) {
    const bool applies = beginAudioCall();
    dropWaitingStartsIfSuspended();
    for (std::int32_t i = 0; messages != nullptr && i < count; ++i) {
        const MidiMessage& midi = messages[i];
        const std::int32_t status = midi.status & kStatusMask;
        const std::int32_t data1 = midi.data1 & kDataMask;
        const std::int32_t data2 = midi.data2 & kDataMask;
        if (status == kNoteOn && data2 != 0) {
            handleNote(data1, data2, midi.deltaFrames);
        } else if (status == kControlChange && data1 != 0) {
            handleController(data1, data2);
        }
    }
    if (applies) {
        releaseApplying();
    }
}

void SlicerEngine::handleNote(std::int32_t note, std::int32_t velocity, std::int32_t deltaFrames) {
    // Note 0 stands for "none" in the note tables (and in saved songs), so it
    // is never learned and matches no entry, as controller 0 never does.
    if (note == kNoNote) {
        return;
    }
    const bool learnedSlice = sliceNoteLearn;
    if (learnedSlice) {
        learnNumber(sliceNotes, kSliceCount, sliceLearnTarget, note);
    }
    if (patternNoteLearn) {
        learnNumber(patternNotes, kPatternCount, patternLearnTarget, note);
        return;
    }
    queueNote(
        TimedNote{std::max(deltaFrames, 0), note, static_cast<float>(velocity) / 127.0f, !learnedSlice});
}

// Notes wait for the block loop, in the order they fall; a note at the same
// sample as an earlier one comes after it.
void SlicerEngine::queueNote(const TimedNote& note) {
    if (timedNoteCount == kMaxTimedNotes) {
        return;  // more notes than one block can use
    }
    insertInTimeOrder(timedNotes, timedNoteCount, note);
}

void SlicerEngine::selectPatternsFor(std::int32_t note) {
    for (std::int32_t i = 0; i < kPatternCount; ++i) {
        if (patternNotes[i] == note) {
            selectPattern(i);
        }
    }
}

void SlicerEngine::startNoteSlices(const TimedNote& note, std::int64_t recordStep) {
    if (!note.startsSlices || !noteToSliceMode) {
        return;
    }
    const std::int32_t firstSlot = patternOffset;
    for (std::int32_t slice = 0; slice < kSliceCount; ++slice) {
        if (sliceNotes[slice] == note.note) {
            scheduleStep(firstSlot + slice, recordStep, true, note.gain);
            startStep();
        }
    }
}

void SlicerEngine::handleController(std::int32_t controller, std::int32_t value) {
    if (paramMidiLearn) {
        learnNumber(paramControllers, kParamCount, paramLearnTarget, controller);
        notifyListener(true);
        return;
    }
    for (std::int32_t i = 0; i < kParamCount; ++i) {
        if (paramControllers[i] == controller) {
            const float moved = static_cast<float>(value) * kControllerScale;
            setParameter(i, moved);
            if (parameterReport_ != nullptr) {
                parameterReport_->parameterMovedByMidi(i, moved);
            }
            notifyListener(true);
        }
    }
}

}  // namespace tramvek
