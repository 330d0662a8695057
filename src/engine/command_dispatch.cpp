// A command from another thread or a message port, carried out by the
// operation of the same name.
#include "engine/slicer_engine.h"

namespace tramvek {

void SlicerEngine::apply(const EngineCommand& command) {
    using Kind = EngineCommand::Kind;
    switch (command.kind) {
        case Kind::kSetParameter:
            applyParameter(command.a, command.value);
            break;
        case Kind::kSelectProgram:
            if (command.a >= 0 && command.a < kProgramCount) {
                applyProgram(command.a);
                notifyListener(false);
            }
            break;
        case Kind::kSetStepValue:
            setSlotValue(command.a, command.value, command.b);
            break;
        case Kind::kSetPatternLength:
            setPatternLength(command.value);
            break;
        case Kind::kSetShuffle:
            setShuffle(command.value);
            break;
        case Kind::kNextResolution:
            nextResolution();
            break;
        case Kind::kPreviousResolution:
            previousResolution();
            break;
        case Kind::kSelectPattern:
            selectPattern(command.a);
            break;
        case Kind::kSelectBank:
            selectBank(command.a);
            break;
        case Kind::kCopyPattern:
            copyPattern(command.a);
            break;
        case Kind::kPastePattern:
            pastePattern(command.a);
            break;
        case Kind::kFlushBuffer:
            flushRequested = true;  // the posting thread has dropped a load not yet taken
            break;
        case Kind::kToggleFreeze:
            toggleFreeze();
            break;
        case Kind::kToggleMidiLearn:
            toggleMidiLearn();
            break;
        case Kind::kSetLearnTarget:
            setLearnTarget(command.a);
            break;
        case Kind::kTogglePatternNoteLearn:
            togglePatternNoteLearn();
            break;
        case Kind::kSetPatternLearnTarget:
            setPatternLearnTarget(command.a);
            break;
        case Kind::kToggleSliceTriggering:
            toggleSliceTriggering();
            break;
        case Kind::kToggleNoteSliceLearn:
            toggleNoteSliceLearn();
            break;
        case Kind::kSetSliceLearnTarget:
            setSliceLearnTarget(command.a);
            break;
        case Kind::kNewVariation:
            newVariation();
            break;
        case Kind::kApplyLoad:
            applyPendingLoad();
            break;
        case Kind::kFreezeLoadedAudio:
            freeze = true;
            notifyListener(false);
            break;
    }
}

}  // namespace tramvek
