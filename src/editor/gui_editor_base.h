// The editor layer that owns a toolkit frame: it forwards keys and the wheel to
// the frame, redraws it on idle and runs the throttled idle pump that controls
// call from their mouse loops.
#pragma once

#include <cstdint>
#include <mutex>

#include "gui/frame_editor.h"
#include "host/editor_base.h"

namespace tramvek {

class Frame;

class GuiEditorBase : public EditorBase, public FrameEditor {
  public:
    // Pump timing, in milliseconds of the platform tick counter.
    static constexpr uint32_t kPumpSleep = 4;
    static constexpr uint32_t kPumpEarliest = 50;
    static constexpr uint32_t kPumpInterval = 100;

    explicit GuiEditorBase(EffectBase* owner);
    ~GuiEditorBase() override;

    VstInt32 getRect(ERect** out) override;
    VstInt32 open(void* parent) override;
    void idle() override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(VstInt32 mode) override;
    bool wheel(float distance) override;

    virtual void parameterChanged(VstInt32 index, float value);
    virtual void redrawAll();
    // A full idle (views, dirty redraw, one pending paint, host idle) at most
    // about every 50 ms; calls in between sleep 4 ms to pace the caller's loop.
    void idlePump() override;

    Frame* frame() const { return frame_; }
    uint32_t nextIdleTicks() const { return nextIdleTicks_; }
    bool inIdlePump() const { return inIdlePump_; }

  protected:
    // Held by every call that touches an editor's frame or views. Hosts open and
    // close editors on one thread and idle them on another, and on X11 one
    // editor's idle delivers the events of every editor's windows, so a single
    // lock for all editors keeps a paint or press from meeting a frame being
    // built or destroyed. Recursive: controls' mouse loops idle the editor.
    static std::recursive_mutex& windowLock();

    void setFrame(Frame* frame) { frame_ = frame; }
    // Destroys the frame and with it every view it holds.
    void destroyFrame();

  private:
    Frame* frame_ = nullptr;
    uint32_t nextIdleTicks_ = 0;
    bool inIdlePump_ = false;
};

}  // namespace tramvek
