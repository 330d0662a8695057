#pragma once

#include <windows.h>

#include "gui/platform.h"

namespace tramvek {

class DropTarget;

// The frame's child window: class "Plugin%08x", title "Window", child and
// visible at (0,0) of the parent. Its user data points to this object, through
// which the window procedure reaches the client.
class Win32Window : public PlatformWindow {
  public:
    // Null when the class or the window cannot be made.
    static std::unique_ptr<Win32Window> create(HWND parent, int32_t width, int32_t height,
                                               WindowClient& client);
    ~Win32Window() override;

    Point screenOrigin() const override;
    std::unique_ptr<Surface> acquireSurface() override;
    void* nativeHandle() const override { return window_; }

  private:
    Win32Window(HWND window, WindowClient& client);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void press(WPARAM keys, LPARAM position);
    void wheel(WPARAM keysAndDelta, LPARAM position);
    void registerDropTarget();
    void revokeDropTarget();

    HWND window_;
    WindowClient* client_;
    DropTarget* dropTarget_ = nullptr;
};

}  // namespace tramvek
