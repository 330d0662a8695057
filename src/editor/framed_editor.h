// The editor layer that owns a toolkit frame: it forwards keys and the wheel to
// the frame, redraws it on idle and runs the throttled idle pump that controls
// call from their mouse loops. Knows no plug-in format: a format's adapter
// opens it in the host's window and relays the host's calls to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "editor/editor_host.h"
#include "gui/frame_editor.h"
#include "gui/key_code.h"

namespace tramvek {

class Frame;

class FramedEditor : public FrameEditor {
  public:
    // Pump timing, in milliseconds of the platform tick counter.
    static constexpr uint32_t kPumpSleep = 4;
    static constexpr uint32_t kPumpEarliest = 50;
    static constexpr uint32_t kPumpInterval = 100;

    explicit FramedEditor(EditorHost& host);
    virtual ~FramedEditor();
    FramedEditor(const FramedEditor&) = delete;
    FramedEditor& operator=(const FramedEditor&) = delete;

    // Builds the editor's window inside `parent`, the host's native window.
    virtual bool open(void* parent) = 0;
    virtual void close() = 0;
    virtual void idle();
    // The frame's answers: -1 when no view takes the key (or nothing is open).
    int32_t keyDown(const KeyCode& key);
    int32_t keyUp(const KeyCode& key);
    bool wheel(float distance);

    // From whatever thread changes what the editor shows; cleared by idle.
    void postUpdate() { updatePending = true; }
    // A full idle (views, dirty redraw, one pending paint, host idle) at most
    // about every 50 ms; calls in between sleep 4 ms to pace the caller's loop.
    void idlePump() override;

    Frame* frame() const { return frame_; }
    uint32_t nextIdleTicks() const { return nextIdleTicks_; }
    bool inIdlePump() const { return inIdlePump_; }

    std::atomic<bool> updatePending{false};

  protected:
    // Held by every call that touches an editor's frame or views. Hosts open and
    // close editors on one thread and idle them on another, and on X11 one
    // editor's idle delivers the events of every editor's windows, so a single
    // lock for all editors keeps a paint or press from meeting a frame being
    // built or destroyed. Recursive: controls' mouse loops idle the editor.
    static std::recursive_mutex& windowLock();

    EditorHost& host() const { return host_; }
    void setFrame(Frame* frame) { frame_ = frame; }
    // Destroys the frame and with it every view it holds.
    void destroyFrame();

  private:
    EditorHost& host_;
    Frame* frame_ = nullptr;
    uint32_t nextIdleTicks_ = 0;
    bool inIdlePump_ = false;
};

}  // namespace tramvek
