#pragma once

#include <cstdint>
#include <memory>

#include "gui/platform.h"
#include "gui/view.h"

namespace tramvek {

class Bitmap;
class FrameEditor;

// The root of the editor's views and owner of its child window. Views are added
// without being retained and released once when removed with release or when the
// frame is destroyed.
class Frame : public View, private WindowClient {
  public:
    // Without a parent window (or if the platform cannot make one) the frame exists
    // without a window and drawing requests do nothing.
    Frame(const Rect& bounds, void* parentWindow, FrameEditor* editor);
    ~Frame() override;

    void draw(DrawContext& context) override;
    void drawArea(DrawContext& context, const Rect& area) override;
    void trackMouse(DrawContext& context, Point& where) override;
    void updateIfDirty(DrawContext& context) override;
    int32_t keyDown(const KeyCode& key) override;
    int32_t keyUp(const KeyCode& key) override;
    bool acceptDrop(const char* const* items, int32_t count, int32_t type, Point where) override;
    bool wheel(DrawContext* context, Point where, float distance) override;
    FrameEditor* editor() const override { return editor_; }

    // False (and capacity reset) if the list cannot grow.
    virtual bool addView(View* view);
    virtual bool removeView(View* view, bool withRelease);
    virtual bool removeAllViews(bool withRelease);
    virtual bool containsView(const View* view) const;
    virtual int32_t viewCount() const;
    virtual View* viewAt(int32_t index) const;

    void setBackground(Bitmap* bitmap);
    Bitmap* background() const { return background_; }
    // Refuses while another modal view is set; null clears it.
    bool setModalView(View* view);
    View* modalView() const { return modalView_; }
    // Draws `view` at once if it is in the list, otherwise the whole frame.
    void redrawView(View* view);
    // Redraws what needs it; nothing before the first paint or once closed.
    void idleUpdate();
    Point mousePosition(Point& where) const;
    View* viewUnderMouse() const;
    // The topmost view whose bounds contain `where` (mouse-enabled or not); null if none.
    View* topViewAt(Point where) const;

    bool isOpen() const { return open_; }
    bool firstDrawPending() const { return firstDrawPending_; }
    void* parentWindow() const { return parentWindow_; }
    PlatformWindow* window() const { return window_.get(); }

  private:
    void paint(Surface& surface, const Rect& area) override;
    void press(Point where, MouseButtons buttons) override;
    void wheelTurned(Point where, float distance) override;
    void windowDestroyed() override;
    void drop(const char* const* items, int32_t count, int32_t type) override;
    bool anythingNeedsRedraw() const;
    template <typename Action>
    void withWindowContext(Action action);

    FrameEditor* editor_;
    void* parentWindow_;
    Bitmap* background_ = nullptr;
    std::unique_ptr<View*[]> views_;
    int32_t count_ = 0;
    int32_t capacity_ = 0;
    View* modalView_ = nullptr;
    bool firstDrawPending_ = true;
    bool open_ = true;
    std::unique_ptr<PlatformWindow> window_;
};

}  // namespace tramvek
