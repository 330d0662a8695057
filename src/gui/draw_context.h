#pragma once

#include <cstdint>
#include <string_view>

#include "gui/color.h"
#include "gui/font_table.h"
#include "gui/geometry.h"
#include "gui/mouse_buttons.h"
#include "gui/platform.h"

namespace tramvek {

class Frame;

// Drawing state and primitives over a platform surface. A context lives for one
// paint, press, idle pass or redraw; drawing state never carries over, so every
// routine sets the colours and font it uses.
class DrawContext {
  public:
    // With a surface the context sets a white solid pen, a black fill and white
    // text on it. With a window it records the window's screen top-left, which
    // pollMousePosition subtracts. Neither is owned.
    DrawContext(Frame* frame, Surface* surface, PlatformWindow* window);
    virtual ~DrawContext() = default;
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    void setPenColor(Color color);
    // 1 gives a dotted pen, anything else a solid one.
    void setLineStyle(int32_t style);
    void setFillColor(Color color);
    void setTextColor(Color color);
    // Size 0 means the font's default size; style bits from font_style.
    void selectFont(FontId id, int32_t size, int32_t style);

    void moveTo(Point p);
    // The end pixel is excluded.
    void lineTo(Point p);
    // Columns left and right, rows top and bottom, ends included.
    void outlineRect(const Rect& r);
    // left+1 <= x <= right-1, top+1 <= y <= bottom-1: together with outlineRect it
    // covers the rectangle exactly.
    void fillInside(const Rect& r);
    // One line, vertically centred, clipped to the rectangle minus its right and
    // bottom edges; align 1 centres, 2 right-aligns, anything else left-aligns one
    // pixel in from `left`.
    void drawText(std::string_view text, const Rect& r, bool opaque, int32_t align);

    // The buttons of the press that made this context, as the window reported
    // it: the next poll answers them even if the button is up again by then, so
    // a click over before the control first looks still counts as a press.
    void latchPress(MouseButtons buttons) { latchedPress_ = buttons; }
    MouseButtons pollMouseButtons();
    // Pointer position relative to the window recorded at construction.
    Point pollMousePosition(Point& where) const;

    Frame* frame() const { return frame_; }
    Surface* surface() const { return surface_; }
    PlatformWindow* window() const { return window_; }
    Point windowOrigin() const { return windowOrigin_; }

    Color penColor() const { return penColor_; }
    Color fillColor() const { return fillColor_; }
    Color textColor() const { return textColor_; }
    int32_t lineWidth() const { return lineWidth_; }
    int32_t lineStyle() const { return lineStyle_; }
    FontId fontId() const { return fontId_; }
    int32_t fontSize() const { return fontSize_; }

  protected:
    // For contexts that make their surface after the base is constructed.
    void setSurface(Surface* surface) { surface_ = surface; }

  private:
    void applyPen();

    Frame* frame_;
    Surface* surface_;
    PlatformWindow* window_;
    Point windowOrigin_;
    Color penColor_ = colors::White;
    Color fillColor_ = colors::Black;
    Color textColor_ = colors::White;
    int32_t lineWidth_ = 1;
    int32_t lineStyle_ = 0;
    FontId fontId_ = 0;
    int32_t fontSize_ = 0;
    MouseButtons latchedPress_ = 0;
};

}  // namespace tramvek
