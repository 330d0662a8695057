#include "hosting/host_callback.h"

#include <cstring>
#include <string_view>

namespace tramvek {
namespace {

constexpr VstIntPtr kHostVersion = 2400;
constexpr VstIntPtr kHostVendorVersion = 1000;
constexpr VstIntPtr kAutomationOff = 1;
constexpr VstIntPtr kLanguageEnglish = 1;
constexpr VstIntPtr kReplaceOutputs = 1;

HostContext* contextBeingLoaded = nullptr;

bool hostCanDo(const char* capability) {
    if (capability == nullptr) {
        return false;
    }
    std::string_view text(capability);
    return text == "sendVstEvents" || text == "sendVstMidiEvent" || text == "sendVstTimeInfo";
}

// Host texts go into the plug-in's buffer, which the interface sizes at 64.
VstIntPtr copyHostText(void* ptr, const char* text) {
    if (ptr == nullptr) {
        return 0;
    }
    std::strncpy(static_cast<char*>(ptr), text, kVstMaxVendorStrLen - 1);
    static_cast<char*>(ptr)[kVstMaxVendorStrLen - 1] = '\0';
    return 1;
}

}  // namespace

void HostContext::attach(AEffect* effect) {
    effect->user = this;
}

HostContext::LoadingScope::LoadingScope(HostContext& context) {
    contextBeingLoaded = &context;
}

HostContext::LoadingScope::~LoadingScope() {
    contextBeingLoaded = nullptr;
}

VstIntPtr VST_CALLBACK HostContext::callback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr value,
                                             void* ptr, float) {
    HostContext* context = effect != nullptr && effect->user != nullptr
                               ? static_cast<HostContext*>(effect->user)
                               : contextBeingLoaded;
    if (opcode == audioMasterVersion) {
        return kHostVersion;
    }
    return context != nullptr ? context->answer(opcode, value, ptr) : 0;
}

VstIntPtr HostContext::answer(VstInt32 opcode, VstIntPtr value, void* ptr) {
    switch (opcode) {
        case audioMasterGetTime:
            return reinterpret_cast<VstIntPtr>(&timeInfo);
        case audioMasterIdle:
        case audioMasterAutomate:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            return 1;
        case audioMasterWantMidi:
            midiWanted = value != 0;
            return 1;
        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr>(sampleRate);
        case audioMasterGetBlockSize:
            return blockSize;
        case audioMasterGetAutomationState:
            return kAutomationOff;
        case audioMasterGetLanguage:
            return kLanguageEnglish;
        case audioMasterWillReplaceOrAccumulate:
            return kReplaceOutputs;
        case audioMasterGetVendorString:
            return copyHostText(ptr, "tramvek");
        case audioMasterGetProductString:
            return copyHostText(ptr, "tramvek-host");
        case audioMasterGetVendorVersion:
            return kHostVendorVersion;
        case audioMasterCanDo:
            return hostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
        default:
            return 0;
    }
}

}  // namespace tramvek
