// The host-facing editor layer: a default answer to every editor request the
// dispatcher forwards. Its effect owns it once given it (EffectBase::setEditor).
#pragma once

#include <atomic>

#include "host/vst2.h"

namespace tramvek {

class EffectBase;

class EditorBase {
  public:
    explicit EditorBase(EffectBase* owner);
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    virtual ~EditorBase();                        // 0
    virtual VstInt32 getRect(ERect** out);        // 1: stores null, answers 0
    virtual VstInt32 open(void* parent);          // 2: remembers the parent, answers 0
    virtual void close();                         // 3
    virtual void idle();                          // 4: runs a posted update
    virtual void update();                        // 5
    virtual void postUpdate();                    // 6
    virtual VstInt32 keyDown(VstKeyCode& key);    // 7: -1, not taken
    virtual VstInt32 keyUp(VstKeyCode& key);      // 8: -1, not taken
    virtual VstInt32 setKnobMode(VstInt32 mode);  // 9: 0
    virtual bool wheel(float distance);           // 10: false

    EffectBase* effect;
    void* parentWindow = nullptr;
    // Posted from whatever thread changes a parameter, cleared by idle.
    std::atomic<bool> updatePending{false};
    ERect editorRect{};
};

}  // namespace tramvek
