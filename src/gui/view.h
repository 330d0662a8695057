#pragma once

#include <cstdint>

#include "gui/geometry.h"
#include "gui/key_code.h"

namespace tramvek {

class DrawContext;
class Frame;
class FrameEditor;

// A rectangle of the frame that draws itself and reacts to presses. Reference
// counted: 1 after construction; the view destroys itself when release brings
// the count to 0, so views are created with new and never deleted directly.
class View {
  public:
    explicit View(const Rect& bounds);
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual ~View() = default;
    virtual void draw(DrawContext& context);
    virtual void drawArea(DrawContext& context, const Rect& area);
    virtual bool overlaps(const Rect& rect) const;
    // `where` is the press in frame coordinates; controls overwrite it while polling.
    virtual void trackMouse(DrawContext& context, Point& where);
    virtual void updateIfDirty(DrawContext& context);
    // Kept for its place among the operations; nothing calls it.
    virtual void pointHook(DrawContext& context, Point where);
    virtual int32_t keyDown(const KeyCode& key);
    virtual int32_t keyUp(const KeyCode& key);
    virtual bool acceptDrop(const char* const* items, int32_t count, int32_t type, Point where);
    virtual bool wheel(DrawContext* context, Point where, float distance);
    virtual void loseFocus(DrawContext& context);
    virtual void takeFocus(DrawContext& context);
    virtual bool needsRedraw() const;
    virtual void setNeedsRedraw(bool flag);
    virtual void setMouseEnabled(bool flag);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const Rect& rect);
    virtual Rect mouseArea() const;
    // All four edges inclusive.
    virtual bool contains(Point p) const;
    virtual void setTransparent(bool flag);
    virtual bool isTransparent() const;
    virtual void setBounds(const Rect& rect);
    virtual void setParentFrame(Frame* frame);
    virtual void setParentView(View* view);
    // The parent frame's editor; null without a parent frame.
    virtual FrameEditor* editor() const;
    // Called when taken out of a frame or when it stops being its modal view.
    virtual bool detached(View* parent);
    // Called when put into a frame or when it becomes its modal view.
    virtual bool attached(View* parent);
    // Does nothing at 0; destroys the view when the count reaches 0.
    virtual int32_t release();
    virtual void retain();
    virtual int32_t refCount() const;

    const Rect& bounds() const { return bounds_; }
    Frame* parentFrame() const { return parentFrame_; }
    View* parentView() const { return parentView_; }

  private:
    int32_t refCount_ = 1;
    Rect bounds_;
    Rect mouseArea_;
    Frame* parentFrame_ = nullptr;
    View* parentView_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
};

}  // namespace tramvek
