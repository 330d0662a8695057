#pragma once

#include <optional>

#include "gui/platform.h"
#include "gui/raster/pixel_buffer.h"

namespace tramvek {

class HeadlessPlatform;

// A window without a display: its contents are a pixel buffer, and paints,
// presses, drops and the platform's destruction are delivered by calling it
// (from tests, or from a presenter that shows the buffer). Like a real window it
// starts with its whole area waiting to be painted.
class HeadlessWindow : public PlatformWindow {
  public:
    HeadlessWindow(HeadlessPlatform& owner, int32_t width, int32_t height, WindowClient& client);
    ~HeadlessWindow() override;

    Point screenOrigin() const override { return screenOrigin_; }
    std::unique_ptr<Surface> acquireSurface() override;
    void* nativeHandle() const override { return const_cast<HeadlessWindow*>(this); }

    void setScreenOrigin(Point origin) { screenOrigin_ = origin; }
    PixelBuffer& pixels() { return pixels_; }
    bool isDestroyed() const { return destroyed_; }

    // Adds `area` (right and bottom exclusive) to the region waiting for a paint.
    void invalidate(const Rect& area);
    bool paintPending() const { return pending_.has_value(); }
    // Delivers the pending paint, if any; true if there was one.
    bool paintPendingArea();
    void paint(const Rect& area);
    void press(Point where, MouseButtons buttons);
    void wheelTurned(Point where, float distance);
    void drop(const char* const* items, int32_t count, int32_t type);
    // The platform destroys the window under the client (e.g. the host closed its parent).
    void destroy();

  private:
    HeadlessPlatform& owner_;
    PixelBuffer pixels_;
    WindowClient* client_;
    Point screenOrigin_;
    std::optional<Rect> pending_;
    bool destroyed_ = false;
};

}  // namespace tramvek
