#include "host/effect_base.h"

#include "host/editor_base.h"
#include "host/entry_points.h"
#include "host/safe_convert.h"

namespace tramvek {

namespace {

constexpr VstInt32 kPlaceholderUniqueId = fourCharCode('N', 'o', 'E', 'f');
constexpr VstInt32 kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');
constexpr double kVuScale = 32767.0;

}  // namespace

EffectBase::EffectBase(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    effect.magic = kEffectMagic;
    installEntryPoints(effect);
    effect.numPrograms = numPrograms;
    effect.numParams = numParams;
    effect.numInputs = 1;
    effect.numOutputs = 2;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = kPlaceholderUniqueId;
    effect.version = 1;
}

EffectBase::~EffectBase() = default;

void EffectBase::setEditor(std::unique_ptr<EditorBase> newEditor) {
    // The old editor goes first: while it is destroyed nothing reaches it through the effect.
    editor.reset();
    setFlag(effFlagsHasEditor, newEditor != nullptr);
    editor = std::move(newEditor);
}

void EffectBase::setParameter(VstInt32, float) {}
float EffectBase::getParameter(VstInt32) {
    return 0.0f;
}

void EffectBase::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    hostAutomate(index, value);
}

void EffectBase::processReplacing(float**, float**, VstInt32) {}

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) {
                setProgram(static_cast<VstInt32>(value));
            }
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (ptr != nullptr) {
                setProgramName(static_cast<char*>(ptr));
            }
            return 0;
        case effGetProgramName:
            if (ptr != nullptr) {
                getProgramName(static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamLabel:
            if (ptr != nullptr) {
                getParamLabel(index, static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamDisplay:
            if (ptr != nullptr) {
                getParamDisplay(index, static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamName:
            if (ptr != nullptr) {
                getParamName(index, static_cast<char*>(ptr));
            }
            return 0;
        case effGetVu:
            return truncateToInt32(static_cast<double>(getVu()) * kVuScale);
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(clampToInt32(value));
            return 0;
        case effMainsChanged:
            if (value == 0) {
                suspend();
            } else {
                resume();
            }
            return 0;
        case effEditGetRect:
            if (editor == nullptr || ptr == nullptr) {
                return 0;
            }
            return editor->getRect(static_cast<ERect**>(ptr));
        case effEditOpen:
            return editor != nullptr ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor != nullptr) {
                editor->close();
            }
            return 0;
        case effEditIdle:
            if (editor != nullptr) {
                editor->idle();
            }
            return 0;
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            // The chunk address goes into *ptr: without a place to put it there is no answer.
            return ptr != nullptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            if (ptr == nullptr || value < 0 || value > kInt32Max) {
                return 0;
            }
            return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default:
            // effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep and
            // everything outside 0..24.
            return 0;
    }
}

void EffectBase::open() {}
void EffectBase::close() {}
VstInt32 EffectBase::getProgram() {
    return curProgram;
}
void EffectBase::setProgram(VstInt32 program) {
    curProgram = program;
}

// Programs have no names at this layer. The host's text is its own: nothing is
// written into it (it may live in read-only memory).
void EffectBase::setProgramName(char*) {}

void EffectBase::getProgramName(char* text) {
    text[0] = '\0';
}
void EffectBase::getParamLabel(VstInt32, char* text) {
    text[0] = '\0';
}
void EffectBase::getParamDisplay(VstInt32, char* text) {
    text[0] = '\0';
}
void EffectBase::getParamName(VstInt32, char* text) {
    text[0] = '\0';
}
float EffectBase::getVu() {
    return 0.0f;
}
VstInt32 EffectBase::getChunk(void**, bool) {
    return 0;
}
VstInt32 EffectBase::setChunk(void*, VstInt32, bool) {
    return 0;
}

void EffectBase::setSampleRate(float rate) {
    sampleRate = rate;
}
void EffectBase::setBlockSize(VstInt32 size) {
    blockSize = size;
}
void EffectBase::suspend() {}
void EffectBase::resume() {}

void EffectBase::setUniqueId(VstInt32 id) {
    effect.uniqueID = id;
}
void EffectBase::setInputCount(VstInt32 count) {
    effect.numInputs = count;
}
void EffectBase::setOutputCount(VstInt32 count) {
    effect.numOutputs = count;
}

void EffectBase::setFlagHasVu(bool on) {
    setFlag(effFlagsHasVu, on);
}
void EffectBase::setFlagHasClip(bool on) {
    setFlag(effFlagsHasClip, on);
}
void EffectBase::setFlagCanMono(bool on) {
    setFlag(effFlagsCanMono, on);
}
void EffectBase::setFlagCanReplacing(bool on) {
    setFlag(effFlagsCanReplacing, on);
}
void EffectBase::setFlagProgramChunks(bool on) {
    setFlag(effFlagsProgramChunks, on);
}

void EffectBase::setRealtimeQualities(VstInt32 qualities) {
    effect.realQualities = qualities;
}
void EffectBase::setOfflineQualities(VstInt32 qualities) {
    effect.offQualities = qualities;
}
void EffectBase::setInitialDelay(VstInt32 samples) {
    effect.initialDelay = samples;
}

float EffectBase::getSampleRate() {
    return sampleRate;
}
VstInt32 EffectBase::getBlockSize() {
    return blockSize;
}

void EffectBase::setFlag(VstInt32 flag, bool on) {
    if (on) {
        effect.flags |= flag;
    } else {
        effect.flags &= ~flag;
    }
}

}  // namespace tramvek
