#pragma once

#include "gui/platform.h"
#include "gui/raster/pixel_buffer.h"

namespace tramvek {

// An image of the raster back end. Masks are images too: white where set.
class RasterImage : public PlatformImage {
  public:
    explicit RasterImage(PixelBuffer pixels) : pixels_(std::move(pixels)) {}

    int32_t width() const override { return pixels_.width(); }
    int32_t height() const override { return pixels_.height(); }
    PixelBuffer& pixels() { return pixels_; }
    const PixelBuffer& pixels() const { return pixels_; }

  private:
    PixelBuffer pixels_;
};

}  // namespace tramvek
