// MIDI from the host: controllers learned onto parameters, notes learned onto
// patterns, and notes that start slices directly. Runs on the audio thread;
// the learn targets are set by the editor's thread, so each is checked where
// it is used.
#include <algorithm>
#include <cstring>

#include "engine/slicer_effect.h"
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
void learnNumber(std::int32_t* table, std::int32_t count, std::int32_t target, std::int32_t number) {
    if (!isIndex(target, count)) {
        return;
    }
    std::replace(table, table + count, number, 0);
    table[target] = number;
}

}  // namespace

VstInt32 SlicerEffect::processEvents(VstEvents* events) {
    dropWaitingStartsIfSuspended();
    if (events == nullptr) {
        return 1;
    }
    // The host allocates as many pointers as it announces; index through a
    // plain pointer, not the two-entry array of the declaration.
    VstEvent* const* list = events->events;
    const VstInt32 count = events->numEvents;
    for (VstInt32 i = 0; i < count; ++i) {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        VstMidiEvent midi;
        std::memcpy(&midi, event, sizeof midi);
        const std::int32_t status = static_cast<unsigned char>(midi.midiData[0]) & kStatusMask;
        const std::int32_t data1 = midi.midiData[1] & kDataMask;
        const std::int32_t data2 = midi.midiData[2] & kDataMask;
        if (status == kNoteOn && data2 != 0) {
            handleNote(data1, data2, midi.deltaFrames);
        } else if (status == kControlChange && data1 != 0) {
            handleController(data1, data2);
        }
    }
    return 1;
}

void SlicerEffect::handleNote(std::int32_t note, std::int32_t velocity, std::int32_t deltaFrames) {
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
        learnNumber(patternNotes, patternCount, patternLearnTarget, note);
        return;
    }
    queueNote(
        TimedNote{std::max(deltaFrames, 0), note, static_cast<float>(velocity) / 127.0f, !learnedSlice});
}

// Notes wait for the block loop, in the order they fall; a note at the same
// sample as an earlier one comes after it.
void SlicerEffect::queueNote(const TimedNote& note) {
    if (timedNoteCount == kMaxTimedNotes) {
        return;  // more notes than one block can use
    }
    insertInTimeOrder(timedNotes, timedNoteCount, note);
}

void SlicerEffect::selectPatternsFor(std::int32_t note) {
    for (std::int32_t i = 0; i < patternCount; ++i) {
        if (patternNotes[i] == note) {
            selectPattern(i);
        }
    }
}

void SlicerEffect::startNoteSlices(const TimedNote& note, std::int64_t recordStep) {
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

void SlicerEffect::handleController(std::int32_t controller, std::int32_t value) {
    if (paramMidiLearn) {
        learnNumber(paramControllers, learnableParamCount, paramLearnTarget, controller);
        notifyEditor(true);
        return;
    }
    for (std::int32_t i = 0; i < learnableParamCount; ++i) {
        if (paramControllers[i] == controller) {
            applyParameter(i, static_cast<float>(value) * kControllerScale);
            notifyEditor(true);
        }
    }
}

}  // namespace tramvek
