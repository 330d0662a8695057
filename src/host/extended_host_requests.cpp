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

bool ExtendedEffectBase::hostBeginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool ExtendedEffectBase::hostEndEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

}  // namespace tramvek
