// The extended effect layer: answers dispatcher opcodes 25..68, hands every
// other opcode to EffectBase, and carries the host requests the plug-in sends.
// Only what an effect overrides or calls is here; the other opcodes of the
// range get fixed answers in the dispatcher.
#pragma once

#include "host/effect_base.h"

namespace tramvek {

class ExtendedEffectBase : public EffectBase {
  public:
    using EffectBase::EffectBase;

    ~ExtendedEffectBase() override;
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual EditorBase* getEditor();
    virtual bool hostWantMidi(VstInt32 filter);
    // The host's time record, or null when the host offers none.
    virtual VstTimeInfo* hostGetTime(VstInt32 filter);
    // Around the automation of one gesture on parameter `index`.
    virtual bool hostBeginEdit(VstInt32 index);
    virtual bool hostEndEdit(VstInt32 index);
    virtual VstInt32 processEvents(VstEvents* events);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    // 1 = can do, -1 = cannot, 0 = don't know.
    virtual VstInt32 canDo(const char* text);
};

}  // namespace tramvek
