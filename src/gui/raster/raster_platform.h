#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gui/platform.h"
#include "gui/raster/clock.h"
#include "gui/raster/headless_window.h"
#include "gui/raster/scripted_input.h"

namespace tramvek {

// The software back end: pixel-buffer images and surfaces, headless windows, a
// replaceable pointer source and clock, bitmap resources decoded from BMP bytes.
// platform() answers the one instance, rasterPlatform().
class RasterPlatform : public Platform {
  public:
    using ResourceBytes = std::span<const uint8_t> (*)(int32_t id);

    RasterPlatform();

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
    void startDropServices() override { ++dropServiceUsers_; }
    void stopDropServices() override { --dropServiceUsers_; }

    // The scripted input, used unless another pointer source is set (null restores it).
    ScriptedInput& scriptedInput() { return scriptedInput_; }
    void setPointerSource(PointerSource* source);
    // The system clock unless another is set (null restores it).
    void setClock(Clock* clock);
    // The program's own resources (bitmapResourceBytes) unless another source is set.
    void setResourceSource(ResourceBytes source) { resourceSource_ = source; }
    // Without windows, createWindow fails as it does without a display.
    void setWindowsAvailable(bool available) { windowsAvailable_ = available; }

    const std::vector<HeadlessWindow*>& windows() const { return windows_; }
    int32_t dropServiceUsers() const { return dropServiceUsers_; }

  private:
    friend class HeadlessWindow;
    void windowCreated(HeadlessWindow* window) { windows_.push_back(window); }
    void windowGone(HeadlessWindow* window);

    ScriptedInput scriptedInput_;
    PointerSource* pointer_ = &scriptedInput_;
    SystemClock systemClock_;
    Clock* clock_ = &systemClock_;
    ResourceBytes resourceSource_;
    bool windowsAvailable_ = true;
    std::vector<HeadlessWindow*> windows_;
    int32_t dropServiceUsers_ = 0;
};

RasterPlatform& rasterPlatform();

}  // namespace tramvek
