#include "editor/gui_editor_base.h"

#include "gui/frame.h"
#include "gui/key_code.h"
#include "gui/platform.h"
#include "host/effect_base.h"

namespace tramvek {

namespace {

KeyCode toolkitKey(const VstKeyCode& key) {
    return KeyCode{key.character, key.virt, key.modifier};
}

}  // namespace

GuiEditorBase::GuiEditorBase(EffectBase* owner) : EditorBase(owner), nextIdleTicks_(platform().tickCount()) {
    // The frame's drop target needs the drag-and-drop services.
    platform().startDropServices();
}

GuiEditorBase::~GuiEditorBase() {
    destroyFrame();
    platform().stopDropServices();
}

VstInt32 GuiEditorBase::getRect(ERect** out) {
    *out = &editorRect;
    return 1;
}

VstInt32 GuiEditorBase::open(void* parent) {
    postUpdate();
    parentWindow = parent;
    return 0;
}

std::recursive_mutex& GuiEditorBase::windowLock() {
    static std::recursive_mutex lock;
    return lock;
}

void GuiEditorBase::idle() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    // A host that idles us from inside its own idle processing gets fresh views
    // from the derived editor, but no redraw until the pump has returned.
    if (inIdlePump_) {
        return;
    }
    platform().pumpEvents();
    EditorBase::idle();
    if (frame_ != nullptr) {
        frame_->idleUpdate();
    }
}

VstInt32 GuiEditorBase::keyDown(VstKeyCode& key) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr ? frame_->keyDown(toolkitKey(key)) : -1;
}

VstInt32 GuiEditorBase::keyUp(VstKeyCode& key) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr ? frame_->keyUp(toolkitKey(key)) : -1;
}

VstInt32 GuiEditorBase::setKnobMode(VstInt32) {
    return 1;
}

bool GuiEditorBase::wheel(float distance) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr && frame_->wheel(nullptr, Point{0, 0}, distance);
}

void GuiEditorBase::parameterChanged(VstInt32, float) {
    postUpdate();
}

void GuiEditorBase::redrawAll() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    if (frame_ != nullptr) {
        frame_->redrawView(nullptr);
    }
}

void GuiEditorBase::idlePump() {
    Platform& backEnd = platform();
    uint32_t now = backEnd.tickCount();
    // Differences rather than comparisons keep the pump working across the
    // wrap-around of the 32-bit tick counter.
    const auto ticksUntilDue = [this](uint32_t time) { return static_cast<int32_t>(nextIdleTicks_ - time); };
    if (ticksUntilDue(now) > 0) {
        backEnd.sleep(kPumpSleep);
        now += kPumpSleep;
        if (ticksUntilDue(now) > static_cast<int32_t>(kPumpEarliest)) {
            return;
        }
    }
    idle();
    backEnd.dispatchPendingPaint();
    nextIdleTicks_ = now + kPumpInterval;
    inIdlePump_ = true;
    effect->hostIdle();
    inIdlePump_ = false;
}

void GuiEditorBase::destroyFrame() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    if (frame_ != nullptr) {
        Frame* leaving = frame_;
        frame_ = nullptr;
        leaving->release();
    }
}

}  // namespace tramvek
