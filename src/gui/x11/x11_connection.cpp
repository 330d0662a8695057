#include "gui/x11/x11_connection.h"

#include <atomic>

namespace tramvek {

bool X11Connection::acquire() {
    if (users_ == 0) {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            return false;
        }
    }
    ++users_;
    return true;
}

void X11Connection::release() {
    if (users_ > 0 && --users_ == 0) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

namespace {

std::atomic<Display*> trappedDisplay{nullptr};
std::atomic<int> trappedErrors{0};

int countError(Display* display, XErrorEvent*) {
    if (display == trappedDisplay.load()) {
        trappedErrors.fetch_add(1);
    }
    return 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display) {
    trappedDisplay.store(display);
    trappedErrors.store(0);
    previous_ = XSetErrorHandler(&countError);
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
    trappedDisplay.store(nullptr);
}

bool X11ErrorTrap::succeeded() {
    XSync(display_, False);
    return trappedErrors.load() == 0;
}

}  // namespace tramvek
