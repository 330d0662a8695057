// An edit of the engine made away from the audio thread (the editor, the
// host's parameter, program and state calls, a UI in another process). The
// audio thread applies it at a block start, so each engine field has one
// writer. Plain values only: a command crosses a lock-free queue or a
// plug-in format's message port as it is.
#pragma once

#include <cstdint>

namespace tramvek {

struct EngineCommand {
    enum class Kind : std::int32_t {
        kSetParameter,      // a: index; value
        kSelectProgram,     // a: program
        kSetStepValue,      // a: slot of the current bank; b: lane; value
        kSetPatternLength,  // value
        kSetShuffle,        // value
        kNextResolution,
        kPreviousResolution,
        kSelectPattern,  // a: pattern
        kSelectBank,     // a: bank
        kCopyPattern,    // a: pattern
        kPastePattern,   // a: pattern
        kFlushBuffer,
        kToggleFreeze,
        kToggleMidiLearn,
        kSetLearnTarget,  // a: parameter
        kTogglePatternNoteLearn,
        kSetPatternLearnTarget,  // a: pattern
        kToggleSliceTriggering,
        kToggleNoteSliceLearn,
        kSetSliceLearnTarget,  // a: slice
        kNewVariation,
        // The engine's own, which no message port carries: the state a load
        // on the host's thread prepared, and freeze on for audio a drop loaded.
        kApplyLoad,
        kFreezeLoadedAudio,
    };

    Kind kind = Kind::kSetParameter;
    std::int32_t a = 0;
    std::int32_t b = 0;
    float value = 0.0f;
};

}  // namespace tramvek
