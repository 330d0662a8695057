#pragma once

#include <cstdint>
#include <span>

#include "gui/platform.h"
#include "gui/raster/clock.h"

namespace tramvek {

// The software back end's drawing: pixel-buffer images and surfaces, masks,
// the program's bitmap resources decoded from BMP bytes, and the machine's
// time. A presentation of it (X11 windows) adds windows and input.
class RasterPlatform : public Platform {
  public:
    std::unique_ptr<PlatformImage> loadBitmapResource(int32_t id) override;
    std::unique_ptr<PlatformImage> createImage(int32_t width, int32_t height, Surface* like) override;
    std::unique_ptr<Surface> createImageSurface(PlatformImage& image, Surface* like) override;
    std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, Color transparent) override;
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    // Nothing is dropped on a raster window.
    void startDropServices() override {}
    void stopDropServices() override {}

  protected:
    // The image in BMP `bytes`; null when they hold none.
    static std::unique_ptr<PlatformImage> imageFromBmp(std::span<const uint8_t> bytes);

  private:
    SystemClock clock_;
};

}  // namespace tramvek
