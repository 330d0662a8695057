#include "gui/bitmap.h"

#include "gui/draw_context.h"

namespace tramvek {

Bitmap::Bitmap(int32_t resourceId)
    : resourceId_(resourceId), image_(platform().loadBitmapResource(resourceId)) {
    if (image_ != nullptr) {
        width_ = image_->width();
        height_ = image_->height();
    }
}

Bitmap::Bitmap(Frame*, int32_t width, int32_t height)
    : image_(platform().createImage(width, height, nullptr)) {
    if (image_ != nullptr) {
        width_ = image_->width();
        height_ = image_->height();
    }
}

Bitmap::~Bitmap() = default;

int32_t Bitmap::release() {
    if (refCount_ <= 0) {
        return 0;
    }
    if (--refCount_ == 0) {
        delete this;
        return 0;
    }
    return refCount_;
}

void Bitmap::setTransparentColor(Color color) {
    if (!color.sameRgb(transparentColor_)) {
        mask_.reset();
    }
    transparentColor_ = color;
}

void Bitmap::drawBitmap(DrawContext& context, const Rect& destRect, Point srcOffset) {
    if (image_ == nullptr || context.surface() == nullptr) {
        return;
    }
    context.surface()->drawImage(destRect.topLeft(), destRect.width(), destRect.height(), *image_, srcOffset);
}

void Bitmap::drawBitmapTransparent(DrawContext& context, const Rect& destRect, Point srcOffset) {
    if (image_ == nullptr || context.surface() == nullptr) {
        return;
    }
    if (mask_ == nullptr) {
        mask_ = platform().createMask(*image_, transparentColor_);
        if (mask_ == nullptr) {
            return;
        }
    }
    context.surface()->drawImageTransparent(destRect.topLeft(), destRect.width(), destRect.height(), *image_,
                                            srcOffset, *mask_);
}

}  // namespace tramvek
