#include "gui/x11/x11_window.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "gui/raster/raster_surface.h"
#include "gui/x11/x11_buttons.h"
#include "gui/x11/x11_connection.h"

namespace tramvek {

namespace {

// A raster surface on the window's pixels that shows what it drew when it is
// done: only that area, since converting and sending the whole window for a
// view's redraw would cost more than the redraw.
class PresentingSurface : public RasterSurface {
  public:
    PresentingSurface(X11Window& window, PixelBuffer& pixels) : RasterSurface(pixels), window_(window) {}
    ~PresentingSurface() override {
        if (drawn_) {
            window_.present(*drawn_);
        }
    }

    void lineTo(Point p) override {
        const Point from = position();
        RasterSurface::lineTo(p);
        touch({std::min(from.x, p.x), std::min(from.y, p.y), std::max(from.x, p.x) + 1,
               std::max(from.y, p.y) + 1});
    }
    void fillRect(const Rect& r) override {
        RasterSurface::fillRect(r);
        touch(r);
    }
    void drawText(std::string_view text, const Rect& r, TextAlignment alignment, bool opaque) override {
        RasterSurface::drawText(text, r, alignment, opaque);
        touch(r);
    }
    void blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) override {
        RasterSurface::blockCopy(to, width, height, source, from);
        touch({to.x, to.y, to.x + width, to.y + height});
    }
    void drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image, Point from) override {
        RasterSurface::drawImage(to, width, height, image, from);
        touch({to.x, to.y, to.x + width, to.y + height});
    }
    void drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image, Point from,
                              const PlatformImage& mask) override {
        RasterSurface::drawImageTransparent(to, width, height, image, from, mask);
        touch({to.x, to.y, to.x + width, to.y + height});
    }

  private:
    // Adds `area` (right and bottom exclusive) to what is shown at the end.
    void touch(const Rect& area) { drawn_ = drawn_ ? drawn_->unitedWith(area) : area; }

    X11Window& window_;
    std::optional<Rect> drawn_;
};

int shiftOf(unsigned long mask) {
    return mask == 0 ? 0 : std::countr_zero(mask);
}

}  // namespace

X11Window::X11Window(X11Connection& connection, Window parent, int32_t width, int32_t height,
                     WindowClient& client, std::function<void(X11Window*)> gone)
    : connection_(connection), client_(&client), gone_(std::move(gone)), pixels_(width, height) {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    X11ErrorTrap trap(display);
    XWindowAttributes parentAttributes{};
    if (XGetWindowAttributes(display, parent, &parentAttributes) == 0 || !trap.succeeded()) {
        return;
    }
    // Pixels are put as 32-bit true colour; other visuals get a blank window.
    Visual* visual = parentAttributes.visual;
    const bool trueColor =
        visual->c_class == TrueColor && (parentAttributes.depth == 24 || parentAttributes.depth == 32);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // no flash of background before the first paint
    attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
    window_ =
        XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    if (window_ != 0) {
        gc_ = XCreateGC(display, window_, 0, nullptr);
    }
    if (!trap.succeeded()) {
        if (gc_ != nullptr) {
            XFreeGC(display, gc_);
            gc_ = nullptr;
        }
        window_ = 0;
        return;
    }
    dropTarget_ = std::make_unique<XdndTarget>(connection_, window_);
    if (trueColor) {
        imagePixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        image_ = XCreateImage(display, visual, static_cast<unsigned>(parentAttributes.depth), ZPixmap, 0,
                              reinterpret_cast<char*>(imagePixels_.data()), static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 32, 0);
        redShift_ = shiftOf(visual->red_mask);
        greenShift_ = shiftOf(visual->green_mask);
        blueShift_ = shiftOf(visual->blue_mask);
    }
}

X11Window::~X11Window() {
    client_ = nullptr;
    {
        std::lock_guard<std::mutex> hold(connection_.lock());
        Display* display = connection_.display();
        X11ErrorTrap trap(display);
        if (image_ != nullptr) {
            image_->data = nullptr;  // the pixels belong to imagePixels_
            XDestroyImage(image_);
        }
        if (gc_ != nullptr) {
            XFreeGC(display, gc_);
        }
        if (window_ != 0 && !destroyed_) {
            XDestroyWindow(display, window_);
        }
    }
    gone_(this);
}

void X11Window::show() {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    X11ErrorTrap trap(display);
    XMapWindow(display, window_);
    XFlush(display);
}

Point X11Window::screenOrigin() const {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    X11ErrorTrap trap(display);
    int x = 0;
    int y = 0;
    Window child = 0;
    if (destroyed_ ||
        !XTranslateCoordinates(display, window_, DefaultRootWindow(display), 0, 0, &x, &y, &child)) {
        return Point{0, 0};
    }
    return Point{x, y};
}

std::unique_ptr<Surface> X11Window::acquireSurface() {
    if (destroyed_) {
        return nullptr;
    }
    return std::make_unique<PresentingSurface>(*this, pixels_);
}

void* X11Window::nativeHandle() const {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window_));
}

void X11Window::present(const Rect& area) {
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, pixels_.width());
    const int32_t bottom = std::min(area.bottom, pixels_.height());
    if (destroyed_ || !convertsPixels() || right <= left || bottom <= top) {
        return;
    }
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = left; x < right; ++x) {
            const uint32_t rgb = pixels_.at(x, y);
            imagePixels_[static_cast<size_t>(y) * pixels_.width() + x] =
                ((rgb & 0xffu) << redShift_) | (((rgb >> 8u) & 0xffu) << greenShift_) |
                (((rgb >> 16u) & 0xffu) << blueShift_);
        }
    }
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    X11ErrorTrap trap(display);
    XPutImage(display, window_, gc_, image_, left, top, left, top, static_cast<unsigned>(right - left),
              static_cast<unsigned>(bottom - top));
    // Shown now, not when the connection is next read.
    XFlush(display);
}

void X11Window::addExposed(const Rect& area) {
    exposed_ = exposed_ ? exposed_->unitedWith(area) : area;
}

void X11Window::handleEvent(const XEvent& event) {
    switch (event.type) {
        case Expose:
            addExposed(Rect{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                            event.xexpose.y + event.xexpose.height});
            break;
        case ButtonPress:
            if (client_ != nullptr && !destroyed_) {
                handlePress(event.xbutton);
            }
            break;
        case ClientMessage:
        case SelectionNotify: {
            std::vector<std::string> files;
            if (dropTarget_ && dropTarget_->handle(event, files) && !files.empty() && client_ != nullptr &&
                !destroyed_) {
                deliverFiles(files);
            }
            break;
        }
        case DestroyNotify:
            if (event.xdestroywindow.window == window_ && !destroyed_) {
                destroyed_ = true;
                exposed_.reset();
                if (client_ != nullptr) {
                    client_->windowDestroyed();
                }
            }
            break;
        default:
            break;
    }
}

void X11Window::handlePress(const XButtonEvent& press) {
    const Point where{press.x, press.y};
    // Buttons 4 and 5 are the wheel's notches; 6 and 7 (sideways) mean nothing here.
    if (press.button == Button4 || press.button == Button5) {
        client_->wheelTurned(where, press.button == Button4 ? 1.0f : -1.0f);
    } else if (press.button >= Button1 && press.button <= Button3) {
        client_->press(where, x11PressButtons(press));
    }
}

void X11Window::deliverFiles(const std::vector<std::string>& paths) {
    std::vector<const char*> items;
    for (const std::string& path : paths) {
        items.push_back(path.c_str());
    }
    client_->drop(items.data(), static_cast<int32_t>(items.size()), 0);
}

bool X11Window::paintPendingArea() {
    if (!exposed_) {
        return false;
    }
    const Rect area = *exposed_;
    exposed_.reset();
    if (destroyed_ || client_ == nullptr) {
        return true;
    }
    {
        RasterSurface surface(pixels_);
        client_->paint(surface, area);
    }
    present(area);
    return true;
}

}  // namespace tramvek
