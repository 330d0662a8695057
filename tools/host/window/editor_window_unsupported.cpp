#include "window/editor_window.h"

#include "host_error.h"

namespace tramvek {

// Built without a window system (no Win32, no X11): editors cannot be opened.
EditorWindow::EditorWindow(int width, int height, const std::string&) : width_(width), height_(height) {
    throw HostError("this build of tramvek-host cannot open editor windows");
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::resize(int width, int height) {
    width_ = width;
    height_ = height;
}

void EditorWindow::run(int, const std::function<void()>&) {}

RgbImage EditorWindow::capture() const {
    return RgbImage(width_, height_);
}

void EditorWindow::clientOrigin(int& x, int& y) const {
    x = 0;
    y = 0;
}

unsigned long EditorWindow::gdiObjectCount() {
    return 0;
}

}  // namespace tramvek
