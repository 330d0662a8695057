#include "gui/param_display.h"

#include <cstdio>

#include "gui/bitmap.h"
#include "gui/draw_context.h"

namespace tramvek {

ParamDisplay::ParamDisplay(const Rect& bounds, Bitmap* background, int32_t style)
    : Control(bounds, nullptr, 0, background), style_(style) {
    if ((style_ & display_style::NoDraw) != 0) {
        setNeedsRedraw(false);
    }
}

void ParamDisplay::formatValue(char* text) const {
    text[0] = '\0';
    if (conversionWithData_ != nullptr) {
        conversionWithData_(value(), text, userData_);
    } else if (conversion_ != nullptr) {
        conversion_(value(), text);
    } else {
        std::snprintf(text, TextCapacity, "%2.2f", static_cast<double>(value()));
    }
    text[TextCapacity - 1] = '\0';
}

void ParamDisplay::draw(DrawContext& context) {
    char text[TextCapacity];
    formatValue(text);
    setNeedsRedraw(false);
    if ((style_ & display_style::NoDraw) != 0) {
        return;
    }
    drawBackground(context);
    if ((style_ & (display_style::BevelIn | display_style::BevelOut)) != 0) {
        drawBevel(context);
    }
    if ((style_ & display_style::NoText) == 0) {
        drawCaption(context, text);
    }
}

void ParamDisplay::drawBackground(DrawContext& context) {
    if (Bitmap* bitmap = background()) {
        if (isTransparent()) {
            bitmap->drawBitmapTransparent(context, bounds(), backOffset_);
        } else {
            bitmap->drawBitmap(context, bounds(), backOffset_);
        }
        return;
    }
    if (isTransparent()) {
        return;
    }
    context.setFillColor(backColor_);
    context.fillInside(bounds());
    if ((style_ & (display_style::BevelIn | display_style::BevelOut)) == 0) {
        context.setPenColor(frameColor_);
        context.outlineRect(bounds());
    }
}

void ParamDisplay::drawBevel(DrawContext& context) const {
    const bool bevelIn = (style_ & display_style::BevelIn) != 0;
    const Rect& r = bounds();
    context.setPenColor(bevelIn ? backColor_ : frameColor_);
    context.moveTo({r.left, r.bottom});
    context.lineTo({r.left, r.top});
    context.lineTo({r.right + 1, r.top});
    context.setPenColor(bevelIn ? frameColor_ : backColor_);
    context.moveTo({r.right, r.top + 1});
    context.lineTo({r.right, r.bottom});
    context.lineTo({r.left, r.bottom});
}

void ParamDisplay::drawCaption(DrawContext& context, const char* text) const {
    context.selectFont(fontId_, 0, fontStyle_);
    const bool opaque = !textTransparent_;
    if ((style_ & display_style::ShadowText) != 0) {
        context.setTextColor(shadowColor_);
        context.drawText(text, bounds().offsetBy(1, 1), opaque, alignment_);
    }
    context.setTextColor(textColor_);
    context.drawText(text, bounds(), opaque, alignment_);
}

template <typename T>
void ParamDisplay::storeAndMark(T& field, const T& value) {
    if (field != value) {
        field = value;
        setNeedsRedraw(true);
    }
}

void ParamDisplay::storeColor(Color& field, Color value) {
    const bool changed = !field.sameRgb(value);
    field = value;
    if (changed) {
        setNeedsRedraw(true);
    }
}

void ParamDisplay::setFontId(FontId id) {
    storeAndMark(fontId_, id);
}
void ParamDisplay::setTextColor(Color color) {
    storeColor(textColor_, color);
}
void ParamDisplay::setBackColor(Color color) {
    storeColor(backColor_, color);
}
void ParamDisplay::setFrameColor(Color color) {
    storeColor(frameColor_, color);
}
void ParamDisplay::setShadowColor(Color color) {
    storeColor(shadowColor_, color);
}
void ParamDisplay::setAlignment(int32_t align) {
    storeAndMark(alignment_, align);
}
void ParamDisplay::setBackOffset(Point offset) {
    backOffset_ = offset;
}

void ParamDisplay::setConversionWithData(ValueToTextWithData function, void* userData) {
    conversionWithData_ = function;
    userData_ = userData;
}

void ParamDisplay::setConversion(ValueToText function) {
    conversion_ = function;
}
void ParamDisplay::setTextToValue(TextToValue function) {
    textToValue_ = function;
}
void ParamDisplay::setStyle(int32_t style) {
    storeAndMark(style_, style);
}
void ParamDisplay::setFontStyle(int32_t style) {
    storeAndMark(fontStyle_, style);
}
void ParamDisplay::setTextTransparent(bool flag) {
    textTransparent_ = flag;
}

}  // namespace tramvek
