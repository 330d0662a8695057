#include "gui/view.h"

#include "gui/frame.h"

namespace tramvek {

View::View(const Rect& bounds) : bounds_(bounds), mouseArea_(bounds) {}

void View::draw(DrawContext&) {}

void View::drawArea(DrawContext& context, const Rect&) {
    draw(context);
}

bool View::overlaps(const Rect& rect) const {
    return bounds_.overlaps(rect);
}

void View::trackMouse(DrawContext&, Point&) {}

void View::updateIfDirty(DrawContext& context) {
    if (needsRedraw()) {
        draw(context);
        setNeedsRedraw(false);
    }
}

void View::pointHook(DrawContext&, Point) {}

int32_t View::keyDown(const KeyCode&) {
    return -1;
}

int32_t View::keyUp(const KeyCode&) {
    return -1;
}

bool View::acceptDrop(const char* const*, int32_t, int32_t, Point) {
    return false;
}

bool View::wheel(DrawContext*, Point, float) {
    return false;
}

void View::loseFocus(DrawContext&) {}

void View::takeFocus(DrawContext&) {}

bool View::needsRedraw() const {
    return dirty_;
}

void View::setNeedsRedraw(bool flag) {
    dirty_ = flag;
}

void View::setMouseEnabled(bool flag) {
    mouseEnabled_ = flag;
}

bool View::isMouseEnabled() const {
    return mouseEnabled_;
}

void View::setMouseArea(const Rect& rect) {
    mouseArea_ = rect;
}

Rect View::mouseArea() const {
    return mouseArea_;
}

bool View::contains(Point p) const {
    return bounds_.contains(p);
}

void View::setTransparent(bool flag) {
    transparent_ = flag;
}

bool View::isTransparent() const {
    return transparent_;
}

void View::setBounds(const Rect& rect) {
    bounds_ = rect;
    setNeedsRedraw(true);
}

void View::setParentFrame(Frame* frame) {
    parentFrame_ = frame;
}

void View::setParentView(View* view) {
    parentView_ = view;
}

FrameEditor* View::editor() const {
    return parentFrame_ != nullptr ? parentFrame_->editor() : nullptr;
}

bool View::detached(View*) {
    return true;
}

bool View::attached(View*) {
    return true;
}

int32_t View::release() {
    if (refCount_ <= 0) {
        return 0;
    }
    if (--refCount_ == 0) {
        delete this;
        return 0;
    }
    return refCount_;
}

void View::retain() {
    ++refCount_;
}

int32_t View::refCount() const {
    return refCount_;
}

}  // namespace tramvek
