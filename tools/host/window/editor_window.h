// The host's window for a plug-in editor: a top-level window whose client
// area has the size the editor asked for, handed to effEditOpen as its parent.
// Win32 and X11 builds have one; elsewhere constructing it throws HostError.
#pragma once

#include <functional>
#include <string>

#include "formats/png_image.h"

namespace tramvek {

class EditorWindow {
  public:
    EditorWindow(int width, int height, const std::string& title);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // The native handle a plug-in's effEditOpen takes.
    void* handle() const { return handle_; }

    // Gives the client area a new size (an editor that tells its size once open).
    void resize(int width, int height);

    // Dispatches the window messages for `milliseconds`, calling `idle` about
    // every 20 ms, as a host's event loop does.
    void run(int milliseconds, const std::function<void()>& idle);

    // The client area's pixels as they are on screen now.
    RgbImage capture() const;

    // The client area's top-left corner in screen coordinates.
    void clientOrigin(int& x, int& y) const;

    // The GDI objects the process holds now (0 where there is no GDI).
    static unsigned long gdiObjectCount();

  private:
    void* handle_ = nullptr;
    int width_;
    int height_;
};

}  // namespace tramvek
