#pragma once

#include <memory>

#include "gui/draw_context.h"

namespace tramvek {

class Bitmap;

// A context on a private image, copied to a window context in one block transfer.
class OffscreenContext : public DrawContext {
  public:
    // With drawIntoBitmap it draws straight into the template's image. Otherwise it
    // makes its own image of the template's size (20 x 20 without one), filled with
    // a copy of the template or, without one, with black. The surface keeps the
    // platform's default pen, brush and text colour until the caller sets them.
    OffscreenContext(DrawContext& parent, Bitmap* templateBitmap, bool drawIntoBitmap);
    ~OffscreenContext() override;

    // Copies destRect's size (right - left by bottom - top) from srcOffset here to
    // destRect's top-left in target.
    void blitTo(DrawContext& target, const Rect& destRect, Point srcOffset);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

  private:
    int32_t width_ = 20;
    int32_t height_ = 20;
    std::unique_ptr<PlatformImage> ownImage_;
    std::unique_ptr<Surface> ownSurface_;
};

}  // namespace tramvek
