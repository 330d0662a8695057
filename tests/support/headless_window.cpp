#include "support/headless_window.h"

#include "gui/raster/raster_surface.h"
#include "support/headless_platform.h"

namespace tramvek {

HeadlessWindow::HeadlessWindow(HeadlessPlatform& owner, int32_t width, int32_t height, WindowClient& client)
    : owner_(owner), pixels_(width, height), client_(&client), pending_(Rect{0, 0, width, height}) {
    owner_.windowCreated(this);
}

HeadlessWindow::~HeadlessWindow() {
    client_ = nullptr;
    owner_.windowGone(this);
}

std::unique_ptr<Surface> HeadlessWindow::acquireSurface() {
    if (destroyed_) {
        return nullptr;
    }
    return std::make_unique<RasterSurface>(pixels_);
}

void HeadlessWindow::invalidate(const Rect& area) {
    pending_ = pending_ ? pending_->unitedWith(area) : area;
}

bool HeadlessWindow::paintPendingArea() {
    if (!pending_) {
        return false;
    }
    const Rect area = *pending_;
    pending_.reset();
    paint(area);
    return true;
}

void HeadlessWindow::paint(const Rect& area) {
    if (destroyed_ || client_ == nullptr) {
        return;
    }
    RasterSurface surface(pixels_);
    client_->paint(surface, area);
}

void HeadlessWindow::press(Point where, MouseButtons buttons) {
    if (!destroyed_ && client_ != nullptr) {
        client_->press(where, buttons);
    }
}

void HeadlessWindow::wheelTurned(Point where, float distance) {
    if (!destroyed_ && client_ != nullptr) {
        client_->wheelTurned(where, distance);
    }
}

void HeadlessWindow::drop(const char* const* items, int32_t count, int32_t type) {
    if (!destroyed_ && client_ != nullptr) {
        client_->drop(items, count, type);
    }
}

void HeadlessWindow::destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    pending_.reset();
    if (client_ != nullptr) {
        client_->windowDestroyed();
    }
}

}  // namespace tramvek
