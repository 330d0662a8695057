#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gui/raster/raster_platform.h"
#include "support/headless_window.h"
#include "support/scripted_input.h"

namespace tramvek {

// The raster back end for tests: headless windows, a replaceable pointer
// source and clock, replaceable bitmap resources, counted drop services.
// platform() answers the one instance, headlessPlatform().
class HeadlessPlatform : public RasterPlatform {
  public:
    using ResourceBytes = std::span<const uint8_t> (*)(int32_t id);

    HeadlessPlatform();

    std::unique_ptr<PlatformWindow> createWindow(void* parent, int32_t width, int32_t height,
                                                 WindowClient& client) override;
    std::unique_ptr<PlatformImage> loadBitmapResource(int32_t id) override;
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
    Clock* clock_ = nullptr;
    ResourceBytes resourceSource_;
    bool windowsAvailable_ = true;
    std::vector<HeadlessWindow*> windows_;
    int32_t dropServiceUsers_ = 0;
};

HeadlessPlatform& headlessPlatform();

}  // namespace tramvek
