// EffectBase's requests to the host through its callback.
#include "host/effect_base.h"

namespace tramvek {

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster != nullptr ? audioMaster(&effect, opcode, index, value, ptr, opt) : 0;
}

// A host that does not say which version it is gets treated as version 1.
VstInt32 EffectBase::hostVersion() {
    const VstIntPtr version = callHost(audioMasterVersion);
    return version != 0 ? static_cast<VstInt32>(version) : 1;
}

VstInt32 EffectBase::hostCurrentId() {
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

bool EffectBase::hostIdle() {
    return callHost(audioMasterIdle) != 0;
}

void EffectBase::hostAutomate(VstInt32 index, float value) {
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

// The pin request answers 0 for "connected"; no answer means connected too.
bool EffectBase::isInputConnected(VstInt32 index) {
    return callHost(audioMasterPinConnected, index, 0) == 0;
}

bool EffectBase::isOutputConnected(VstInt32 index) {
    return callHost(audioMasterPinConnected, index, 1) == 0;
}

}  // namespace tramvek
