#pragma once

#include "gui/platform.h"
#include "gui/raster/pixel_buffer.h"

namespace tramvek {

// A Surface over a pixel buffer, with the pixel rules of the platform seam. Starts
// with the defaults of a fresh Windows device context: black pen, white brush,
// black text and a 16-pixel bold system-like font.
class RasterSurface : public Surface {
  public:
    explicit RasterSurface(PixelBuffer& target) : target_(target) {}

    void setPen(Color color, PenStyle style) override;
    bool setFill(Color color) override;
    void setTextColor(Color color) override;
    void selectFont(const FontRequest& font) override;

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void fillRect(const Rect& r) override;
    void drawText(std::string_view text, const Rect& r, TextAlignment alignment, bool opaque) override;

    void blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) override;
    void drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image, Point from) override;
    void drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image, Point from,
                              const PlatformImage& mask) override;

    PixelBuffer& pixels() { return target_; }
    Point position() const { return position_; }

  private:
    PixelBuffer& target_;
    uint32_t pen_ = packRgb(0, 0, 0);
    PenStyle penStyle_ = PenStyle::Solid;
    uint32_t fill_ = packRgb(255, 255, 255);
    uint32_t text_ = packRgb(0, 0, 0);
    FontRequest font_{"Arial", 16, true, false, false, false};
    Point position_;
    int32_t dashPosition_ = 0;
};

}  // namespace tramvek
