// The editor's side of the engine as one edit type and one view, so that any
// plug-in format can carry both.
#include <algorithm>

#include "engine/slicer_engine.h"

namespace tramvek {
namespace {

constexpr std::int32_t kShortCycle = 10;
constexpr std::int32_t kFallbackCycle = 44100;
constexpr std::int32_t kFallbackStride = 10;

// Samples between two columns so that `lastColumn` of them span one record cycle.
std::int32_t overviewStride(std::int32_t cycle, std::int32_t lastColumn) {
    if (cycle < kShortCycle) {
        cycle = kFallbackCycle;
    }
    // The last column reads sample lastColumn x stride <= cycle, which must lie in the buffers.
    cycle = std::min(cycle, SlicerEngine::kBufferCapacity - 1);
    std::int32_t stride = lastColumn > 0 ? cycle / lastColumn : 0;
    if (stride < 1) {
        stride = kFallbackStride;
    }
    return std::min(stride, (SlicerEngine::kBufferCapacity - 1) / std::max(lastColumn, 1));
}

}  // namespace

void SlicerEngine::applyEdit(const EditorEdit& edit) {
    switch (edit.kind) {
        case EditorEdit::kSetStep:
            setStepValue(edit.index, edit.value, edit.lane);
            break;
        case EditorEdit::kPatternLength:
            setPatternLength(edit.value);
            break;
        case EditorEdit::kNextResolution:
            nextResolution();
            break;
        case EditorEdit::kPreviousResolution:
            previousResolution();
            break;
        case EditorEdit::kSelectPattern:
            selectPattern(edit.index);
            break;
        case EditorEdit::kSelectBank:
            selectBank(edit.index);
            break;
        case EditorEdit::kCopyPattern:
            copyPattern(edit.index);
            break;
        case EditorEdit::kPastePattern:
            pastePattern(edit.index);
            break;
        case EditorEdit::kShuffle:
            setShuffle(edit.value);
            break;
        case EditorEdit::kFlushBuffer:
            flushBuffer();
            break;
        case EditorEdit::kToggleFreeze:
            toggleFreeze();
            break;
        case EditorEdit::kToggleMidiLearn:
            toggleMidiLearn();
            break;
        case EditorEdit::kLearnTarget:
            setLearnTarget(edit.index);
            break;
        case EditorEdit::kTogglePatternNoteLearn:
            togglePatternNoteLearn();
            break;
        case EditorEdit::kPatternLearnTarget:
            setPatternLearnTarget(edit.index);
            break;
        case EditorEdit::kToggleSliceTriggering:
            toggleSliceTriggering();
            break;
        case EditorEdit::kToggleNoteSliceLearn:
            toggleNoteSliceLearn();
            break;
        case EditorEdit::kSliceLearnTarget:
            setSliceLearnTarget(edit.index);
            break;
        default:
            break;
    }
}

void SlicerEngine::readView(EditorView& view) const {
    view.values = snapshot();
    const std::int32_t bank = std::clamp(view.values.currentBank, 0, kBankCount - 1);
    const std::int32_t firstSlot = std::clamp(view.values.patternOffset, 0, kSlotCount - kStepsPerPattern);
    for (std::int32_t lane = 0; lane < kLaneCount; ++lane) {
        for (std::int32_t step = 0; step < kStepsPerPattern; ++step) {
            view.shownSteps[lane][step] = stepValue(bank, lane, firstSlot + step);
        }
    }
    WaveformOverview& waveform = view.waveform;
    waveform.columns = std::clamp(waveform.columns, 0, WaveformOverview::kMaxColumns);
    waveform.stride = overviewStride(view.values.recordCycleSamples, waveform.columns - 1);
    samplePlayedAudio(waveform.stride, waveform.columns, waveform.left, waveform.right);
}

}  // namespace tramvek
