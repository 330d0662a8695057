#pragma once

#include "gui/control.h"

namespace tramvek {

// A button that a left press switches on: it grows to its display rectangle,
// shows its bitmap there as the frame's modal view, and the next left press inside
// switches it off and redraws the whole frame. Value 0 is off, 1 on.
class OverlayButton : public Control {
  public:
    OverlayButton(const Rect& bounds, ControlListener* listener, int32_t tag, Bitmap* bitmap,
                  const Rect& displayRect, Point bitmapOffset);

    void draw(DrawContext& context) override;
    void trackMouse(DrawContext& context, Point& where) override;

    const Rect& displayRect() const { return displayRect_; }

  private:
    // False when the frame refused to make it modal (the value stays on).
    bool switchOn(DrawContext& context);
    void switchOff(DrawContext& context);

    Rect displayRect_;
    Rect savedBounds_;
    Point bitmapOffset_;
    // Only bounds saved by a successful switch-on are restored.
    bool boundsSaved_ = false;
};

}  // namespace tramvek
