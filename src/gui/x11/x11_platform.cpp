#include "gui/x11/x11_platform.h"

#include <algorithm>
#include <cstdint>

#include "gui/x11/x11_buttons.h"
#include "gui/x11/x11_window.h"

namespace tramvek {

std::unique_ptr<PlatformWindow> X11Platform::createWindow(void* parent, int32_t width, int32_t height,
                                                          WindowClient& client) {
    if (parent == nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> hold(connection_.lock());
        if (!connection_.acquire()) {
            return nullptr;
        }
    }
    auto window =
        std::make_unique<X11Window>(connection_, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)),
                                    width, height, client, [this](X11Window* w) { windowGone(w); });
    {
        std::lock_guard<std::mutex> hold(windowsLock_);
        windows_.push_back(window.get());
    }
    if (!window->isValid()) {
        return nullptr;  // unregisters and releases the connection
    }
    window->show();
    return window;
}

void X11Platform::windowGone(X11Window* window) {
    {
        std::lock_guard<std::mutex> hold(windowsLock_);
        std::erase(windows_, window);
    }
    std::lock_guard<std::mutex> hold(connection_.lock());
    connection_.release();
}

X11Window* X11Platform::windowFor(Window handle) const {
    std::lock_guard<std::mutex> hold(windowsLock_);
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [handle](X11Window* w) { return w->handle() == handle; });
    return found != windows_.end() ? *found : nullptr;
}

MouseButtons X11Platform::pollMouseButtons() {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    if (display == nullptr) {
        return 0;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
    return x11Buttons(mask);
}

Point X11Platform::cursorScreenPosition() {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    if (display == nullptr) {
        return Point{0, 0};
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
    return Point{rootX, rootY};
}

bool X11Platform::nextEvent(XEvent& event, bool exposuresOnly) {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    if (display == nullptr) {
        return false;
    }
    if (exposuresOnly) {
        return XCheckTypedEvent(display, Expose, &event);
    }
    if (XPending(display) == 0) {
        return false;
    }
    XNextEvent(display, &event);
    return true;
}

bool X11Platform::dispatchPendingPaint() {
    XEvent event;
    while (nextEvent(event, true)) {
        if (X11Window* window = windowFor(event.xany.window)) {
            window->handleEvent(event);
        }
    }
    for (X11Window* window : windowsNow()) {
        if (window->paintPendingArea()) {
            return true;
        }
    }
    return false;
}

void X11Platform::pumpEvents() {
    XEvent event;
    while (nextEvent(event, false)) {
        X11Window* window = windowFor(event.xany.window);
        if (window == nullptr) {
            continue;
        }
        window->handleEvent(event);
    }
    for (X11Window* window : windowsNow()) {
        window->paintPendingArea();
    }
}

std::vector<X11Window*> X11Platform::windowsNow() const {
    std::lock_guard<std::mutex> hold(windowsLock_);
    return windows_;
}

X11Platform& x11Platform() {
    static X11Platform instance;
    return instance;
}

}  // namespace tramvek
