#include "editor/framed_editor.h"

#include "gui/frame.h"
#include "gui/platform.h"

namespace tramvek {

FramedEditor::FramedEditor(EditorHost& host) : host_(host), nextIdleTicks_(platform().tickCount()) {
    // The frame's drop target needs the drag-and-drop services.
    platform().startDropServices();
}

FramedEditor::~FramedEditor() {
    destroyFrame();
    platform().stopDropServices();
}

std::recursive_mutex& FramedEditor::windowLock() {
    static std::recursive_mutex lock;
    return lock;
}

void FramedEditor::idle() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    // A host that idles us from inside its own idle processing gets fresh views
    // from the derived editor, but no redraw until the pump has returned.
    if (inIdlePump_) {
        return;
    }
    platform().pumpEvents();
    updatePending = false;
    if (frame_ != nullptr) {
        frame_->idleUpdate();
    }
}

int32_t FramedEditor::keyDown(const KeyCode& key) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr ? frame_->keyDown(key) : -1;
}

int32_t FramedEditor::keyUp(const KeyCode& key) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr ? frame_->keyUp(key) : -1;
}

bool FramedEditor::wheel(float distance) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    return frame_ != nullptr && frame_->wheel(nullptr, Point{0, 0}, distance);
}

void FramedEditor::idlePump() {
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
    host_.hostIdle();
    inIdlePump_ = false;
}

void FramedEditor::destroyFrame() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    if (frame_ != nullptr) {
        Frame* leaving = frame_;
        frame_ = nullptr;
        leaving->release();
    }
}

}  // namespace tramvek
