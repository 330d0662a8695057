#pragma once

#include <vector>

#include "gui/raster/raster_platform.h"
#include "gui/x11/x11_connection.h"

namespace tramvek {

class X11Window;

// The Linux plug-in's back end: the raster back end's images, surfaces and
// resources, with real X11 child windows, the pointer and buttons read from
// the X server, and the editor's own events pumped on request. platform()
// answers the one instance, x11Platform().
class X11Platform : public RasterPlatform {
  public:
    // `parent` is the host's X11 window id.
    std::unique_ptr<PlatformWindow> createWindow(void* parent, int32_t width, int32_t height,
                                                 WindowClient& client) override;
    MouseButtons pollMouseButtons() override;
    Point cursorScreenPosition() override;
    // Reads the queued exposures and delivers one paint, leaving other events queued.
    bool dispatchPendingPaint() override;
    // Delivers every queued event: paints, presses, destruction by the parent.
    void pumpEvents() override;

  private:
    void windowGone(X11Window* window);
    X11Window* windowFor(Window handle) const;
    std::vector<X11Window*> windowsNow() const;
    // Takes the next queued event for one of our windows; false when none.
    // With `exposuresOnly`, other events stay queued.
    bool nextEvent(XEvent& event, bool exposuresOnly);

    X11Connection connection_;
    mutable std::mutex windowsLock_;
    std::vector<X11Window*> windows_;
};

X11Platform& x11Platform();

}  // namespace tramvek
