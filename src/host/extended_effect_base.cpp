#include "host/extended_effect_base.h"

#include "host/editor_base.h"
#include "host/safe_convert.h"

namespace tramvek {

namespace {

constexpr VstInt32 kSynthCategory = 2;

VstIntPtr asAnswer(bool on) {
    return on ? 1 : 0;
}

VstKeyCode keyCodeFrom(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = lowByte(value);
    key.modifier = lowByte(truncateToInt32(static_cast<double>(opt)));
    return key;
}

}  // namespace

ExtendedEffectBase::~ExtendedEffectBase() = default;

VstIntPtr ExtendedEffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt) {
    switch (opcode) {
        case effProcessEvents:
            return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated:           // every parameter
        case effGetNumProgramCategories:  // one category
        case effConnectInput:
        case effConnectOutput:
            return 1;
        case effGetPlugCategory:
            return hasFlag(effFlagsIsSynth) ? kSynthCategory : 0;
        case effSetBlockSizeAndSampleRate:
            blockSize = clampToInt32(value);
            sampleRate = opt;
            return 1;
        case effGetVendorString:
            return ptr != nullptr ? asAnswer(getVendorString(static_cast<char*>(ptr))) : 0;
        case effGetProductString:
            return ptr != nullptr ? asAnswer(getProductString(static_cast<char*>(ptr))) : 0;
        case effCanDo:
            // An absent text names no capability.
            return ptr != nullptr ? canDo(static_cast<const char*>(ptr)) : -1;
        case effKeysRequired:
            // Inverted on the wire: 1 tells the host that keys are not required.
            return 1;
        case effGetVstVersion:
            return kVstVersion;
        case effEditKeyDown: {
            if (editor == nullptr) {
                return 0;
            }
            VstKeyCode key = keyCodeFrom(index, value, opt);
            return editor->keyDown(key);
        }
        case effEditKeyUp: {
            if (editor == nullptr) {
                return 0;
            }
            VstKeyCode key = keyCodeFrom(index, value, opt);
            return editor->keyUp(key);
        }
        case effSetEditKnobMode:
            return editor != nullptr ? editor->setKnobMode(clampToInt32(value)) : 0;
        case effGetCurrentMidiProgram:
            return -1;  // no MIDI programs
        default:
            if (opcode >= effProcessEvents && opcode <= effEndSetProgram) {
                return 0;
            }
            return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

EditorBase* ExtendedEffectBase::getEditor() {
    return editor.get();
}
VstInt32 ExtendedEffectBase::processEvents(VstEvents*) {
    return 0;
}
bool ExtendedEffectBase::getVendorString(char*) {
    return false;
}
bool ExtendedEffectBase::getProductString(char*) {
    return false;
}
VstInt32 ExtendedEffectBase::canDo(const char*) {
    return 0;
}

}  // namespace tramvek
