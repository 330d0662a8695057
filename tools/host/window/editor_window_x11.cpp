#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <thread>

#include "host_error.h"
#include "window/editor_window.h"

namespace tramvek {
namespace {

constexpr int kIdleIntervalMs = 20;

// One connection for the process's windows, opened with the first.
Display* hostDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

Window windowOf(void* handle) {
    return static_cast<Window>(reinterpret_cast<std::uintptr_t>(handle));
}

// The host's windows want nothing from their events; the plug-in reads its own
// on its own connection.
void discardPendingEvents(Display* display) {
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    const unsigned long value = (pixel & mask) >> std::countr_zero(mask);
    const unsigned long largest = mask >> std::countr_zero(mask);
    return static_cast<std::uint8_t>(value * 255 / largest);
}

}  // namespace

EditorWindow::EditorWindow(int width, int height, const std::string& title) : width_(width), height_(height) {
    Display* display = hostDisplay();
    if (display == nullptr) {
        throw HostError("cannot open the X display for the editor window (is DISPLAY set?)");
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(display, screen);
    attributes.event_mask = StructureNotifyMask;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWEventMask, &attributes);
    if (window == 0) {
        throw HostError("cannot create a window for the editor");
    }
    handle_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
    XStoreName(display, window, title.c_str());
    XMapRaised(display, window);
    // Mapped before the plug-in is handed the window, as a host's shown window is.
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

EditorWindow::~EditorWindow() {
    Display* display = hostDisplay();
    XDestroyWindow(display, windowOf(handle_));
    XSync(display, False);
    discardPendingEvents(display);
}

void EditorWindow::resize(int width, int height) {
    Display* display = hostDisplay();
    XResizeWindow(display, windowOf(handle_), static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
    width_ = width;
    height_ = height;
}

void EditorWindow::run(int milliseconds, const std::function<void()>& idle) {
    Display* display = hostDisplay();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        discardPendingEvents(display);
        idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleIntervalMs));
    } while (std::chrono::steady_clock::now() < end);
    discardPendingEvents(display);
}

RgbImage EditorWindow::capture() const {
    Display* display = hostDisplay();
    XSync(display, False);
    // Read from the window as shown: the plug-in's child window included.
    XImage* shown = XGetImage(display, windowOf(handle_), 0, 0, static_cast<unsigned>(width_),
                              static_cast<unsigned>(height_), AllPlanes, ZPixmap);
    if (shown == nullptr) {
        throw HostError("cannot capture the editor window");
    }
    RgbImage image(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const unsigned long pixel = XGetPixel(shown, x, y);
            const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 3;
            image.rgb[at] = channel(pixel, shown->red_mask);
            image.rgb[at + 1] = channel(pixel, shown->green_mask);
            image.rgb[at + 2] = channel(pixel, shown->blue_mask);
        }
    }
    XDestroyImage(shown);
    return image;
}

void EditorWindow::clientOrigin(int& x, int& y) const {
    Display* display = hostDisplay();
    Window child = 0;
    if (!XTranslateCoordinates(display, windowOf(handle_), DefaultRootWindow(display), 0, 0, &x, &y,
                               &child)) {
        x = 0;
        y = 0;
    }
}

unsigned long EditorWindow::gdiObjectCount() {
    return 0;
}

}  // namespace tramvek
