#include "gui/frame.h"

#include <algorithm>
#include <new>

#include "gui/bitmap.h"
#include "gui/draw_context.h"

namespace tramvek {

namespace {

constexpr int32_t ViewListGrowth = 10;

}  // namespace

Frame::Frame(const Rect& bounds, void* parentWindow, FrameEditor* editor)
    : View(bounds), editor_(editor), parentWindow_(parentWindow) {
    platform().startDropServices();
    if (parentWindow_ != nullptr) {
        window_ = platform().createWindow(parentWindow_, bounds.width(), bounds.height(), *this);
    }
}

Frame::~Frame() {
    // The window goes first so that no message reaches a half-destroyed frame.
    window_.reset();
    removeAllViews(true);
    setBackground(nullptr);
    platform().stopDropServices();
}

void Frame::draw(DrawContext& context) {
    firstDrawPending_ = false;
    if (background_ != nullptr) {
        background_->drawBitmap(context, {0, 0, background_->width(), background_->height()}, {0, 0});
    }
    for (int32_t i = 0; i < count_; ++i) {
        views_[i]->draw(context);
    }
    if (modalView_ != nullptr) {
        modalView_->draw(context);
    }
}

void Frame::drawArea(DrawContext& context, const Rect& area) {
    firstDrawPending_ = false;
    if (background_ != nullptr) {
        background_->drawBitmap(context, area, area.topLeft());
    }
    for (int32_t i = 0; i < count_; ++i) {
        if (views_[i]->overlaps(area)) {
            views_[i]->drawArea(context, area);
        }
    }
    if (modalView_ != nullptr && modalView_->overlaps(area)) {
        modalView_->draw(context);
    }
}

void Frame::trackMouse(DrawContext& context, Point& where) {
    if (modalView_ != nullptr) {
        if (modalView_->contains(where)) {
            modalView_->trackMouse(context, where);
        }
        return;
    }
    for (int32_t i = count_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->isMouseEnabled() && view->contains(where)) {
            view->trackMouse(context, where);
            return;
        }
    }
}

void Frame::updateIfDirty(DrawContext& context) {
    if (!open_) {
        return;
    }
    if (modalView_ != nullptr) {
        modalView_->updateIfDirty(context);
    } else if (needsRedraw()) {
        draw(context);
        setNeedsRedraw(false);
    } else {
        for (int32_t i = 0; i < count_; ++i) {
            views_[i]->updateIfDirty(context);
        }
    }
}

int32_t Frame::keyDown(const KeyCode& key) {
    if (modalView_ != nullptr) {
        if (const int32_t result = modalView_->keyDown(key); result != -1) {
            return result;
        }
    }
    for (int32_t i = count_ - 1; i >= 0; --i) {
        if (const int32_t result = views_[i]->keyDown(key); result != -1) {
            return result;
        }
    }
    return -1;
}

int32_t Frame::keyUp(const KeyCode& key) {
    if (modalView_ != nullptr) {
        if (const int32_t result = modalView_->keyUp(key); result != -1) {
            return result;
        }
    }
    for (int32_t i = count_ - 1; i >= 0; --i) {
        if (const int32_t result = views_[i]->keyUp(key); result != -1) {
            return result;
        }
    }
    return -1;
}

bool Frame::acceptDrop(const char* const* items, int32_t count, int32_t type, Point where) {
    if (modalView_ != nullptr) {
        return false;
    }
    for (int32_t i = count_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->isMouseEnabled() && view->contains(where) && view->acceptDrop(items, count, type, where)) {
            return true;
        }
    }
    return false;
}

bool Frame::wheel(DrawContext* context, Point, float distance) {
    View* view = viewUnderMouse();
    if (view == nullptr) {
        return false;
    }
    Point pointer;
    mousePosition(pointer);
    return view->wheel(context, pointer, distance);
}

bool Frame::addView(View* view) {
    if (view == nullptr) {
        return false;
    }
    if (count_ == capacity_) {
        const int32_t grown = capacity_ + ViewListGrowth;
        std::unique_ptr<View*[]> larger(new (std::nothrow) View*[grown]);
        if (larger == nullptr) {
            // The existing list stays intact; only this view is not added.
            return false;
        }
        std::copy(views_.get(), views_.get() + count_, larger.get());
        views_ = std::move(larger);
        capacity_ = grown;
    }
    views_[count_++] = view;
    view->setParentFrame(this);
    view->attached(this);
    return true;
}

bool Frame::removeView(View* view, bool withRelease) {
    View** begin = views_.get();
    View** end = begin + count_;
    View** found = std::find(begin, end, view);
    if (view == nullptr || found == end) {
        return false;
    }
    std::copy(found + 1, end, found);
    --count_;
    view->detached(this);
    if (withRelease) {
        view->release();
    }
    return true;
}

bool Frame::removeAllViews(bool withRelease) {
    for (int32_t i = 0; i < count_; ++i) {
        views_[i]->detached(this);
        if (withRelease) {
            views_[i]->release();
        }
    }
    views_.reset();
    count_ = 0;
    capacity_ = 0;
    return true;
}

bool Frame::containsView(const View* view) const {
    return view != nullptr && std::find(views_.get(), views_.get() + count_, view) != views_.get() + count_;
}

int32_t Frame::viewCount() const {
    return count_;
}

View* Frame::viewAt(int32_t index) const {
    return (index >= 0 && index < count_) ? views_[index] : nullptr;
}

void Frame::setBackground(Bitmap* bitmap) {
    if (bitmap != nullptr) {
        bitmap->retain();  // before releasing, in case it is the same bitmap
    }
    if (background_ != nullptr) {
        background_->release();
    }
    background_ = bitmap;
}

bool Frame::setModalView(View* view) {
    if (view != nullptr && modalView_ != nullptr) {
        return false;
    }
    if (modalView_ != nullptr) {
        modalView_->detached(this);
    }
    modalView_ = view;
    if (modalView_ != nullptr) {
        modalView_->attached(this);
    }
    return true;
}

template <typename Action>
void Frame::withWindowContext(Action action) {
    if (!open_ || window_ == nullptr) {
        return;
    }
    std::unique_ptr<Surface> surface = window_->acquireSurface();
    if (surface == nullptr) {
        return;
    }
    DrawContext context(this, surface.get(), window_.get());
    action(context);
}

void Frame::redrawView(View* view) {
    withWindowContext([&](DrawContext& context) {
        if (containsView(view)) {
            view->draw(context);
        } else {
            draw(context);
        }
    });
}

bool Frame::anythingNeedsRedraw() const {
    if (modalView_ != nullptr || needsRedraw()) {
        return true;
    }
    return std::any_of(views_.get(), views_.get() + count_,
                       [](const View* view) { return view->needsRedraw(); });
}

void Frame::idleUpdate() {
    if (!open_ || firstDrawPending_ || !anythingNeedsRedraw()) {
        return;
    }
    withWindowContext([&](DrawContext& context) { updateIfDirty(context); });
}

Point Frame::mousePosition(Point& where) const {
    const Point screen = platform().cursorScreenPosition();
    const Point origin = window_ != nullptr ? window_->screenOrigin() : Point{};
    where = {screen.x - origin.x, screen.y - origin.y};
    return where;
}

View* Frame::viewUnderMouse() const {
    Point pointer;
    return topViewAt(mousePosition(pointer));
}

View* Frame::topViewAt(Point where) const {
    for (int32_t i = count_ - 1; i >= 0; --i) {
        if (views_[i]->bounds().contains(where)) {
            return views_[i];
        }
    }
    return nullptr;
}

void Frame::paint(Surface& surface, const Rect& area) {
    DrawContext context(this, &surface, window_.get());
    drawArea(context, area);
}

void Frame::press(Point where, MouseButtons buttons) {
    withWindowContext([&](DrawContext& context) {
        context.latchPress(buttons);
        trackMouse(context, where);
    });
}

void Frame::wheelTurned(Point where, float distance) {
    if (View* view = topViewAt(where)) {
        withWindowContext([&](DrawContext& context) { view->wheel(&context, where, distance); });
    }
}

void Frame::windowDestroyed() {
    open_ = false;
    parentWindow_ = nullptr;
}

void Frame::drop(const char* const* items, int32_t count, int32_t type) {
    Point where;
    mousePosition(where);
    acceptDrop(items, count, type, where);
}

}  // namespace tramvek
