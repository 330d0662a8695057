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
        case effCanBeAutomated:
            return asAnswer(canBeAutomated(index));
        case effGetNumProgramCategories:
            return getNumProgramCategories();
        case effConnectInput:
        case effConnectOutput:
            return 1;
        case effGetPlugCategory:
            return getPlugCategory();
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate(clampToInt32(value), opt);
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
            return asAnswer(!keysRequired());
        case effGetVstVersion:
            return getVstVersion();
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
            return getCurrentMidiProgram(index, ptr);
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
bool ExtendedEffectBase::canBeAutomated(VstInt32) {
    return true;
}
bool ExtendedEffectBase::string2Parameter(VstInt32, char*) {
    return false;
}
float ExtendedEffectBase::getChannelParameter(VstInt32, VstInt32) {
    return 0.0f;
}
VstInt32 ExtendedEffectBase::getNumProgramCategories() {
    return 1;
}
bool ExtendedEffectBase::getProgramNameIndexed(VstInt32, VstInt32, char*) {
    return false;
}
bool ExtendedEffectBase::copyProgram(VstInt32) {
    return false;
}
void ExtendedEffectBase::connectInput(VstInt32, bool) {}
void ExtendedEffectBase::connectOutput(VstInt32, bool) {}
bool ExtendedEffectBase::getInputProperties(VstInt32, void*) {
    return false;
}
bool ExtendedEffectBase::getOutputProperties(VstInt32, void*) {
    return false;
}
VstInt32 ExtendedEffectBase::getPlugCategory() {
    return hasFlag(effFlagsIsSynth) ? kSynthCategory : 0;
}
void ExtendedEffectBase::setFlagExtIsAsync(bool on) {
    setFlag(effFlagsExtIsAsync, on);
}
void ExtendedEffectBase::setFlagExtHasBuffer(bool on) {
    setFlag(effFlagsExtHasBuffer, on);
}
VstInt32 ExtendedEffectBase::getCurrentPosition() {
    return 0;
}
float* ExtendedEffectBase::getDestinationBuffer() {
    return nullptr;
}
bool ExtendedEffectBase::offlineNotify(void*, VstInt32, bool) {
    return false;
}
bool ExtendedEffectBase::offlinePrepare(void*, VstInt32) {
    return false;
}
bool ExtendedEffectBase::offlineRun(void*, VstInt32) {
    return false;
}
VstInt32 ExtendedEffectBase::spareOperation1() {
    return 0;
}
VstInt32 ExtendedEffectBase::spareOperation2() {
    return 0;
}
void ExtendedEffectBase::setFlagIsSynth(bool on) {
    setFlag(effFlagsIsSynth, on);
}
void ExtendedEffectBase::setFlagNoSoundInStop(bool on) {
    setFlag(effFlagsNoSoundInStop, on);
}
bool ExtendedEffectBase::processVarIo(void*) {
    return false;
}
bool ExtendedEffectBase::setSpeakerArrangement(void*, void*) {
    return false;
}

void ExtendedEffectBase::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
    blockSize = size;
    sampleRate = rate;
}

bool ExtendedEffectBase::setBypass(bool) {
    return false;
}
bool ExtendedEffectBase::getEffectName(char*) {
    return false;
}
bool ExtendedEffectBase::getErrorText(char*) {
    return false;
}
bool ExtendedEffectBase::getVendorString(char*) {
    return false;
}
bool ExtendedEffectBase::getProductString(char*) {
    return false;
}
VstInt32 ExtendedEffectBase::getVendorVersion() {
    return 0;
}
VstIntPtr ExtendedEffectBase::vendorSpecific(VstInt32, VstIntPtr, void*, float) {
    return 0;
}
VstInt32 ExtendedEffectBase::canDo(const char*) {
    return 0;
}
void* ExtendedEffectBase::getIcon() {
    return nullptr;
}
bool ExtendedEffectBase::setViewPosition(VstInt32, VstInt32) {
    return false;
}
VstInt32 ExtendedEffectBase::getTailSize() {
    return 0;
}
VstInt32 ExtendedEffectBase::effectIdle() {
    return 0;
}
bool ExtendedEffectBase::getParameterProperties(VstInt32, void*) {
    return false;
}
bool ExtendedEffectBase::keysRequired() {
    return false;
}
VstInt32 ExtendedEffectBase::getVstVersion() {
    return kVstVersion;
}
VstInt32 ExtendedEffectBase::getMidiProgramName(VstInt32, void*) {
    return 0;
}
VstInt32 ExtendedEffectBase::getCurrentMidiProgram(VstInt32, void*) {
    return -1;
}
VstInt32 ExtendedEffectBase::getMidiProgramCategory(VstInt32, void*) {
    return 0;
}
bool ExtendedEffectBase::hasMidiProgramsChanged(VstInt32) {
    return false;
}
bool ExtendedEffectBase::getMidiKeyName(VstInt32, void*) {
    return false;
}
bool ExtendedEffectBase::beginSetProgram() {
    return false;
}
bool ExtendedEffectBase::endSetProgram() {
    return false;
}

}  // namespace tramvek
