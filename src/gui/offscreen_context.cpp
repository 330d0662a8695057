#include "gui/offscreen_context.h"

#include "gui/bitmap.h"

namespace tramvek {

OffscreenContext::OffscreenContext(DrawContext& parent, Bitmap* templateBitmap, bool drawIntoBitmap)
    : DrawContext(parent.frame(), nullptr, parent.window()) {
    Platform& backEnd = platform();
    PlatformImage* templateImage = templateBitmap != nullptr ? templateBitmap->image() : nullptr;
    if (templateBitmap != nullptr) {
        width_ = templateBitmap->width();
        height_ = templateBitmap->height();
    }
    if (drawIntoBitmap && templateImage != nullptr) {
        ownSurface_ = backEnd.createImageSurface(*templateImage, parent.surface());
        setSurface(ownSurface_.get());
        return;
    }
    ownImage_ = backEnd.createImage(width_, height_, parent.surface());
    if (ownImage_ == nullptr) {
        return;
    }
    ownSurface_ = backEnd.createImageSurface(*ownImage_, parent.surface());
    setSurface(ownSurface_.get());
    if (ownSurface_ == nullptr) {
        return;
    }
    if (templateImage != nullptr) {
        ownSurface_->drawImage({0, 0}, width_, height_, *templateImage, {0, 0});
    } else if (templateBitmap == nullptr) {
        setFillColor(colors::Black);
        fillInside({0, 0, width_, height_});
    }
}

OffscreenContext::~OffscreenContext() {
    // The surface refers to the image: it goes first.
    setSurface(nullptr);
    ownSurface_.reset();
    ownImage_.reset();
}

void OffscreenContext::blitTo(DrawContext& target, const Rect& destRect, Point srcOffset) {
    if (surface() == nullptr || target.surface() == nullptr) {
        return;
    }
    target.surface()->blockCopy(destRect.topLeft(), destRect.width(), destRect.height(), *surface(),
                                srcOffset);
}

}  // namespace tramvek
