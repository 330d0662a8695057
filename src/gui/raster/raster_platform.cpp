#include "gui/raster/raster_platform.h"

#include "bitmap_resources.h"
#include "gui/raster/bmp_decoder.h"
#include "gui/raster/raster_image.h"
#include "gui/raster/raster_surface.h"

namespace tramvek {

std::unique_ptr<PlatformImage> RasterPlatform::loadBitmapResource(int32_t id) {
    return imageFromBmp(bitmapResourceBytes(id));
}

std::unique_ptr<PlatformImage> RasterPlatform::imageFromBmp(std::span<const uint8_t> bytes) {
    std::optional<PixelBuffer> pixels = decodeBmp(bytes);
    if (!pixels) {
        return nullptr;
    }
    return std::make_unique<RasterImage>(std::move(*pixels));
}

std::unique_ptr<PlatformImage> RasterPlatform::createImage(int32_t width, int32_t height, Surface*) {
    return std::make_unique<RasterImage>(PixelBuffer(width, height));
}

std::unique_ptr<Surface> RasterPlatform::createImageSurface(PlatformImage& image, Surface*) {
    return std::make_unique<RasterSurface>(static_cast<RasterImage&>(image).pixels());
}

std::unique_ptr<PlatformImage> RasterPlatform::createMask(const PlatformImage& image, Color transparent) {
    const PixelBuffer& source = static_cast<const RasterImage&>(image).pixels();
    PixelBuffer mask(source.width(), source.height());
    const uint32_t key = transparent.packed();
    for (int32_t y = 0; y < source.height(); ++y) {
        for (int32_t x = 0; x < source.width(); ++x) {
            mask.at(x, y) = source.at(x, y) == key ? packRgb(255, 255, 255) : 0;
        }
    }
    return std::make_unique<RasterImage>(std::move(mask));
}

uint32_t RasterPlatform::tickCount() {
    return clock_.tickCount();
}

void RasterPlatform::sleep(uint32_t milliseconds) {
    clock_.sleep(milliseconds);
}

}  // namespace tramvek
