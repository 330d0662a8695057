#include "x11_editor/x11_test_host.h"

#include <X11/Xutil.h>

#include <bit>
#include <chrono>
#include <cstdlib>

namespace tramvek::testing {

namespace {

uint8_t channel(unsigned long pixel, unsigned long mask) {
    return mask == 0 ? 0 : static_cast<uint8_t>((pixel & mask) >> std::countr_zero(mask));
}

// As hosts idle their editors.
constexpr int kIdleIntervalMs = 25;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

X11TestHost::X11TestHost() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr || !library_.loaded()) {
        return;
    }
    PluginEntry entry = library_.entry("VSTPluginMain");
    effect_ = entry != nullptr ? entry(&FakeHost::callback) : nullptr;
    if (effect_ == nullptr) {
        return;
    }
    dispatch(effOpen);
    createParent();
}

void X11TestHost::createParent() {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // placed exactly, with or without a window manager
    attributes.background_pixel = WhitePixel(display_, DefaultScreen(display_));
    parent_ =
        XCreateWindow(display_, DefaultRootWindow(display_), kParentX, kParentY, 600, 340, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, parent_);
    XSync(display_, False);
}

void X11TestHost::replaceParent() {
    XDestroyWindow(display_, parent_);
    createParent();
}

X11TestHost::~X11TestHost() {
    stopIdling();
    if (effect_ != nullptr) {
        dispatch(effEditClose);
        dispatch(effClose);
    }
    if (display_ != nullptr) {
        if (parent_ != 0) {
            XDestroyWindow(display_, parent_);
        }
        XCloseDisplay(display_);
    }
}

VstIntPtr X11TestHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, 0.0f);
}

VstIntPtr X11TestHost::openEditor() {
    return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent_)));
}

void X11TestHost::closeEditor() {
    dispatch(effEditClose);
}

void X11TestHost::startIdling() {
    idling_ = true;
    idler_ = std::thread([this] {
        while (idling_) {
            dispatch(effEditIdle);
            ++idleCalls_;
            sleepMs(kIdleIntervalMs);
        }
    });
}

void X11TestHost::stopIdling() {
    idling_ = false;
    if (idler_.joinable()) {
        idler_.join();
    }
}

void X11TestHost::waitForIdles(int count) {
    const int target = idleCalls_ + count;
    for (int i = 0; i < 500 && idleCalls_ < target; ++i) {
        sleepMs(10);
    }
}

int X11TestHost::childCount() {
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XSync(display_, False);
    if (XQueryTree(display_, parent_, &root, &parentOfParent, &children, &count) == 0) {
        return -1;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return static_cast<int>(count);
}

PixelBuffer X11TestHost::captureEditor() {
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XSync(display_, False);
    if (XQueryTree(display_, parent_, &root, &parentOfParent, &children, &count) == 0 || count == 0) {
        return PixelBuffer();
    }
    const Window editor = children[0];
    XFree(children);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, editor, &attributes);
    XImage* image = XGetImage(display_, editor, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return PixelBuffer();
    }
    PixelBuffer pixels(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            pixels.at(x, y) = packRgb(channel(value, image->red_mask), channel(value, image->green_mask),
                                      channel(value, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return pixels;
}

bool X11TestHost::xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

std::string X11TestHost::at(int x, int y) {
    return "mousemove " + std::to_string(kParentX + x) + " " + std::to_string(kParentY + y) + " ";
}

}  // namespace tramvek::testing
