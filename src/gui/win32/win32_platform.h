#pragma once

#include "gui/platform.h"

namespace tramvek {

// The toolkit's platform on Windows: USER32 windows, GDI drawing, bitmap
// resources of the module, GetAsyncKeyState / GetCursorPos input, the tick
// counter and OLE drag and drop.
class Win32Platform : public Platform {
  public:
    std::unique_ptr<PlatformWindow> createWindow(void* parent, int32_t width, int32_t height,
                                                 WindowClient& client) override;

    std::unique_ptr<PlatformImage> loadBitmapResource(int32_t id) override;
    std::unique_ptr<PlatformImage> createImage(int32_t width, int32_t height, Surface* like) override;
    std::unique_ptr<Surface> createImageSurface(PlatformImage& image, Surface* like) override;
    std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, Color transparent) override;

    MouseButtons pollMouseButtons() override;
    Point cursorScreenPosition() override;

    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    bool dispatchPendingPaint() override;

    void startDropServices() override;
    void stopDropServices() override;

  private:
    // Starts that succeeded and still await their stop.
    int32_t dropServiceStarts_ = 0;
};

}  // namespace tramvek
