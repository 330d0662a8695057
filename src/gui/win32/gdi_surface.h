#pragma once

#include <windows.h>

#include <functional>

#include "gui/platform.h"

namespace tramvek {

// Drawing on a GDI device context. The surface selects its own pen, brush and
// font into the context and, when destroyed, selects the originals back,
// deletes its objects and then runs `releaseDc` (ReleaseDC, DeleteDC or nothing).
class GdiSurface : public Surface {
  public:
    GdiSurface(HDC dc, std::function<void(HDC)> releaseDc);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

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

    HDC dc() const { return dc_; }

  private:
    // Selects `object` and deletes the one this surface made before.
    void replace(HGDIOBJ& owned, HGDIOBJ object);

    HDC dc_;
    std::function<void(HDC)> releaseDc_;
    HGDIOBJ originalPen_;
    HGDIOBJ originalBrush_;
    HGDIOBJ originalFont_;
    HGDIOBJ pen_ = nullptr;
    HGDIOBJ brush_ = nullptr;
    HGDIOBJ font_ = nullptr;
};

// The device context behind a surface of this back end; null for any other surface.
HDC deviceContextOf(Surface* surface);

}  // namespace tramvek
