#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/platform.h"
#include "gui/raster/pixel_buffer.h"
#include "gui/x11/xdnd_target.h"

namespace tramvek {

class X11Connection;

// A child window in the host's X11 window. The toolkit draws into a pixel
// buffer with the raster back end; every surface handed out puts what was
// drawn on the screen when it is destroyed, and paints put their area there.
class X11Window : public PlatformWindow {
  public:
    // Creates the window, unmapped; isValid() tells whether that worked.
    // `gone` is called last in the destructor, when the window no longer uses the connection.
    X11Window(X11Connection& connection, Window parent, int32_t width, int32_t height, WindowClient& client,
              std::function<void(X11Window*)> gone);
    ~X11Window() override;

    bool isValid() const { return window_ != 0; }
    // Maps the window. Its first exposure follows, so the platform must know the window by then.
    void show();
    Window handle() const { return window_; }

    Point screenOrigin() const override;
    std::unique_ptr<Surface> acquireSurface() override;
    void* nativeHandle() const override;

    // Takes one event for this window read from the connection (under no lock:
    // the client's answers draw and present). Presses reach the client and
    // exposures gather for the next paint; files dropped on the window reach
    // the client; the window's destruction by its parent tells the client.
    void handleEvent(const XEvent& event);
    // Delivers the exposed area gathered so far; true if there was one.
    bool paintPendingArea();

    // Copies `area` of the pixel buffer to the window.
    void present(const Rect& area);

  private:
    bool convertsPixels() const { return image_ != nullptr; }
    void addExposed(const Rect& area);
    // A button press: one of the three buttons, or a notch of the wheel.
    void handlePress(const XButtonEvent& press);
    void deliverFiles(const std::vector<std::string>& paths);

    X11Connection& connection_;
    WindowClient* client_;
    std::function<void(X11Window*)> gone_;
    Window window_ = 0;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    std::vector<uint32_t> imagePixels_;
    int redShift_ = 0;
    int greenShift_ = 0;
    int blueShift_ = 0;
    PixelBuffer pixels_;
    std::optional<Rect> exposed_;
    std::unique_ptr<XdndTarget> dropTarget_;
    bool destroyed_ = false;
};

}  // namespace tramvek
