// ExtendedEffectBase's requests to the host: each sends one opcode with its
// arguments passed through; boolean answers are "the host answered non-zero".
#include <bit>

#include "host/extended_effect_base.h"

namespace tramvek {

bool ExtendedEffectBase::hostWantMidi(VstInt32 filter) {
    return callHost(audioMasterWantMidi, 0, filter) != 0;
}

VstTimeInfo* ExtendedEffectBase::hostGetTime(VstInt32 filter) {
    return std::bit_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 ExtendedEffectBase::hostTempoAt(VstInt32 position) {
    return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, position));
}

VstInt32 ExtendedEffectBase::hostGetNumAutomatableParameters() {
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 ExtendedEffectBase::hostGetParameterQuantization() {
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool ExtendedEffectBase::hostIOChanged() {
    return callHost(audioMasterIOChanged) != 0;
}
bool ExtendedEffectBase::hostNeedIdle() {
    return callHost(audioMasterNeedIdle) != 0;
}

bool ExtendedEffectBase::hostSizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

// The host answers by setting the sample rate through the dispatcher during the call.
float ExtendedEffectBase::hostGetSampleRate() {
    callHost(audioMasterGetSampleRate);
    return sampleRate;
}

VstInt32 ExtendedEffectBase::hostGetBlockSize() {
    callHost(audioMasterGetBlockSize);
    return blockSize;
}

VstInt32 ExtendedEffectBase::hostGetInputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 ExtendedEffectBase::hostGetOutputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

AEffect* ExtendedEffectBase::hostGetPreviousPlug(VstInt32 input) {
    return std::bit_cast<AEffect*>(callHost(audioMasterGetPreviousPlug, input));
}

AEffect* ExtendedEffectBase::hostGetNextPlug(VstInt32 output) {
    return std::bit_cast<AEffect*>(callHost(audioMasterGetNextPlug, output));
}

VstInt32 ExtendedEffectBase::hostWillReplaceOrAccumulate() {
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 ExtendedEffectBase::hostGetCurrentProcessLevel() {
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 ExtendedEffectBase::hostGetAutomationState() {
    return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool ExtendedEffectBase::hostOfflineRead(void* offline, VstInt32 option, bool readSource) {
    return callHost(audioMasterOfflineRead, option, readSource ? 1 : 0, offline) != 0;
}

bool ExtendedEffectBase::hostOfflineWrite(void* offline, VstInt32 option) {
    return callHost(audioMasterOfflineWrite, option, 0, offline) != 0;
}

bool ExtendedEffectBase::hostOfflineStart(void* audioFiles, VstInt32 numAudioFiles,
                                          VstInt32 numNewAudioFiles) {
    return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles) != 0;
}

VstInt32 ExtendedEffectBase::hostOfflineGetCurrentPass() {
    return static_cast<VstInt32>(callHost(audioMasterOfflineGetCurrentPass));
}

VstInt32 ExtendedEffectBase::hostOfflineGetCurrentMetaPass() {
    return static_cast<VstInt32>(callHost(audioMasterOfflineGetCurrentMetaPass));
}

bool ExtendedEffectBase::hostSetOutputSampleRate(float rate) {
    return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate) != 0;
}

bool ExtendedEffectBase::hostGetSpeakerArrangement(void** input, void** output) {
    return callHost(audioMasterGetSpeakerArrangement, 0, std::bit_cast<VstIntPtr>(input), output) != 0;
}

bool ExtendedEffectBase::hostGetVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool ExtendedEffectBase::hostGetProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 ExtendedEffectBase::hostGetVendorVersion() {
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr ExtendedEffectBase::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

VstInt32 ExtendedEffectBase::hostCanDo(const char* text) {
    return static_cast<VstInt32>(callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)));
}

VstInt32 ExtendedEffectBase::hostGetLanguage() {
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* ExtendedEffectBase::hostOpenWindow(void* window) {
    return std::bit_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool ExtendedEffectBase::hostCloseWindow(void* window) {
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void* ExtendedEffectBase::hostGetDirectory() {
    return std::bit_cast<void*>(callHost(audioMasterGetDirectory));
}

bool ExtendedEffectBase::hostUpdateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool ExtendedEffectBase::hostBeginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool ExtendedEffectBase::hostEndEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

bool ExtendedEffectBase::hostOpenFileSelector(void* selector) {
    if (selector == nullptr) {
        return false;
    }
    return callHost(audioMasterOpenFileSelector, 0, 0, selector) != 0;
}

}  // namespace tramvek
