#include "gui/draw_context.h"

namespace tramvek {

namespace {

constexpr int32_t DottedLineStyle = 1;

TextAlignment alignmentFor(int32_t align) {
    switch (align) {
        case 1:
            return TextAlignment::Center;
        case 2:
            return TextAlignment::Right;
        default:
            return TextAlignment::Left;
    }
}

}  // namespace

DrawContext::DrawContext(Frame* frame, Surface* surface, PlatformWindow* window)
    : frame_(frame),
      surface_(surface),
      window_(window),
      windowOrigin_(window ? window->screenOrigin() : Point{}) {
    if (surface_ != nullptr) {
        applyPen();
        surface_->setFill(fillColor_);
        surface_->setTextColor(textColor_);
    }
}

void DrawContext::applyPen() {
    if (surface_ != nullptr) {
        surface_->setPen(penColor_, lineStyle_ == DottedLineStyle ? PenStyle::Dotted : PenStyle::Solid);
    }
}

void DrawContext::setPenColor(Color color) {
    penColor_ = color;
    applyPen();
}

void DrawContext::setLineStyle(int32_t style) {
    lineStyle_ = style;
    applyPen();
}

void DrawContext::setFillColor(Color color) {
    fillColor_ = color;
    if (surface_ != nullptr) {
        surface_->setFill(color);
    }
}

void DrawContext::setTextColor(Color color) {
    textColor_ = color;
    if (surface_ != nullptr) {
        surface_->setTextColor(color);
    }
}

void DrawContext::selectFont(FontId id, int32_t size, int32_t style) {
    const FontRequest request = fontRequest(id, size, style);
    fontId_ = (id >= 0 && id < FontCount) ? id : 0;
    fontSize_ = request.height;
    if (surface_ != nullptr) {
        surface_->selectFont(request);
    }
}

void DrawContext::moveTo(Point p) {
    if (surface_ != nullptr) {
        surface_->moveTo(p);
    }
}

void DrawContext::lineTo(Point p) {
    if (surface_ != nullptr) {
        surface_->lineTo(p);
    }
}

void DrawContext::outlineRect(const Rect& r) {
    moveTo({r.left, r.top});
    lineTo({r.right, r.top});
    lineTo({r.right, r.bottom});
    lineTo({r.left, r.bottom});
    lineTo({r.left, r.top});
}

void DrawContext::fillInside(const Rect& r) {
    if (surface_ != nullptr) {
        surface_->fillRect({r.left + 1, r.top + 1, r.right, r.bottom});
    }
}

void DrawContext::drawText(std::string_view text, const Rect& r, bool opaque, int32_t align) {
    if (surface_ == nullptr) {
        return;
    }
    const TextAlignment alignment = alignmentFor(align);
    Rect area = r;
    if (alignment == TextAlignment::Left) {
        area.left += 1;
    }
    surface_->drawText(text, area, alignment, opaque);
}

MouseButtons DrawContext::pollMouseButtons() {
    const MouseButtons latched = latchedPress_;
    latchedPress_ = 0;
    return latched | platform().pollMouseButtons();
}

Point DrawContext::pollMousePosition(Point& where) const {
    const Point screen = platform().cursorScreenPosition();
    where = {screen.x - windowOrigin_.x, screen.y - windowOrigin_.y};
    return where;
}

}  // namespace tramvek
