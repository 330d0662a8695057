// One change the editor makes to the engine, other than a parameter (those
// go through the host, so that it can record them). Small and plain, so that
// a plug-in format can carry it as a message between processes.
#pragma once

#include <cstdint>

namespace tramvek {

struct EditorEdit {
    enum Kind : std::int32_t {
        kSetStep,  // lane, index = step of the shown pattern, value
        kPatternLength,
        kNextResolution,
        kPreviousResolution,
        kSelectPattern,
        kSelectBank,
        kCopyPattern,
        kPastePattern,
        kShuffle,
        kFlushBuffer,
        kToggleFreeze,
        kToggleMidiLearn,
        kLearnTarget,
        kTogglePatternNoteLearn,
        kPatternLearnTarget,
        kToggleSliceTriggering,
        kToggleNoteSliceLearn,
        kSliceLearnTarget,
        kKindCount,
    };

    Kind kind = kFlushBuffer;
    std::int32_t index = 0;
    std::int32_t lane = 0;
    float value = 0.0f;
};

}  // namespace tramvek
