#include "gui/overlay_button.h"

#include "gui/bitmap.h"
#include "gui/control_listener.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

namespace tramvek {

OverlayButton::OverlayButton(const Rect& bounds, ControlListener* listener, int32_t tag, Bitmap* bitmap,
                             const Rect& displayRect, Point bitmapOffset)
    : Control(bounds, listener, tag, bitmap), displayRect_(displayRect), bitmapOffset_(bitmapOffset) {}

void OverlayButton::draw(DrawContext& context) {
    Bitmap* bitmap = background();
    if (value() != 0.0f && bitmap != nullptr) {
        if (isTransparent()) {
            bitmap->drawBitmapTransparent(context, displayRect_, bitmapOffset_);
        } else {
            bitmap->drawBitmap(context, displayRect_, bitmapOffset_);
        }
    }
    setNeedsRedraw(false);
}

void OverlayButton::trackMouse(DrawContext& context, Point&) {
    if (!isMouseEnabled() || (context.pollMouseButtons() & mouse::LeftButton) == 0) {
        return;
    }
    setValue(value() == 0.0f ? 1.0f : 0.0f);
    if (value() != 0.0f) {
        if (!switchOn(context)) {
            setNeedsRedraw(true);
            return;
        }
    } else {
        switchOff(context);
    }
    if (ControlListener* owner = listener()) {
        owner->valueChanged(context, this);
    }
    setNeedsRedraw(true);
}

bool OverlayButton::switchOn(DrawContext& context) {
    Frame* frame = parentFrame();
    if (frame == nullptr || !frame->setModalView(this)) {
        return false;
    }
    savedBounds_ = bounds();
    boundsSaved_ = true;
    setBounds(displayRect_);
    draw(context);
    return true;
}

void OverlayButton::switchOff(DrawContext& context) {
    if (boundsSaved_) {
        setBounds(savedBounds_);
        boundsSaved_ = false;
    }
    if (Frame* frame = parentFrame()) {
        frame->setModalView(nullptr);
        frame->draw(context);
    }
}

}  // namespace tramvek
