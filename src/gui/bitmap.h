#pragma once

#include <cstdint>
#include <memory>

#include "gui/color.h"
#include "gui/geometry.h"
#include "gui/platform.h"

namespace tramvek {

class DrawContext;
class Frame;

// A reference-counted image: count 1 after construction, destroyed by the
// release that brings it to 0. Create with new, never delete directly.
class Bitmap {
  public:
    // Loads the program's bitmap resource `resourceId`; 0 x 0 if that fails.
    explicit Bitmap(int32_t resourceId);
    // A blank image compatible with the screen; contents undefined.
    Bitmap(Frame* frame, int32_t width, int32_t height);
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    void retain() { ++refCount_; }
    int32_t release();
    int32_t refCount() const { return refCount_; }

    int32_t resourceId() const { return resourceId_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool isLoaded() const { return image_ != nullptr; }
    PlatformImage* image() const { return image_.get(); }

    Color transparentColor() const { return transparentColor_; }
    // A new colour invalidates the mask made for the old one.
    void setTransparentColor(Color color);

    // Copies destRect's size from srcOffset to destRect's top-left. Nothing when
    // the image failed to load.
    void drawBitmap(DrawContext& context, const Rect& destRect, Point srcOffset);
    // The same, leaving the destination where the bitmap has the transparent colour.
    void drawBitmapTransparent(DrawContext& context, const Rect& destRect, Point srcOffset);

  private:
    ~Bitmap();

    int32_t resourceId_ = 0;
    int32_t refCount_ = 1;
    int32_t width_ = 0;
    int32_t height_ = 0;
    Color transparentColor_ = colors::DefaultTransparent;
    std::unique_ptr<PlatformImage> image_;
    std::unique_ptr<PlatformImage> mask_;
};

}  // namespace tramvek
