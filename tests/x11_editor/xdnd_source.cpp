#include "x11_editor/xdnd_source.h"

#include <X11/Xatom.h>

#include <chrono>
#include <thread>

namespace tramvek::testing {

XdndSource::XdndSource() : display_(XOpenDisplay(nullptr)) {
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    aware_ = XInternAtom(display_, "XdndAware", False);
    enter_ = XInternAtom(display_, "XdndEnter", False);
    position_ = XInternAtom(display_, "XdndPosition", False);
    status_ = XInternAtom(display_, "XdndStatus", False);
    drop_ = XInternAtom(display_, "XdndDrop", False);
    finished_ = XInternAtom(display_, "XdndFinished", False);
    selection_ = XInternAtom(display_, "XdndSelection", False);
    actionCopy_ = XInternAtom(display_, "XdndActionCopy", False);
    uriList_ = XInternAtom(display_, "text/uri-list", False);
}

XdndSource::~XdndSource() {
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

int XdndSource::awareVersion(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    int version = 0;
    if (XGetWindowProperty(display_, window, aware_, 0, 1, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        version = static_cast<int>(*reinterpret_cast<const long*>(data));
    }
    if (data != nullptr) {
        XFree(data);
    }
    return version;
}

bool XdndSource::nextEvent(XEvent& event) {
    for (int waited = 0; waited < 500; ++waited) {
        if (XPending(display_) > 0) {
            XNextEvent(display_, &event);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void XdndSource::send(Window target, Atom type, long l1, long l2, long l3, long l4) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = target;
    message.xclient.message_type = type;
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(window_);
    message.xclient.data.l[1] = l1;
    message.xclient.data.l[2] = l2;
    message.xclient.data.l[3] = l3;
    message.xclient.data.l[4] = l4;
    XSendEvent(display_, target, False, NoEventMask, &message);
    XFlush(display_);
}

void XdndSource::answer(const XSelectionRequestEvent& request, const std::string& uriList) {
    XEvent notify{};
    notify.xselection.type = SelectionNotify;
    notify.xselection.requestor = request.requestor;
    notify.xselection.selection = request.selection;
    notify.xselection.target = request.target;
    notify.xselection.time = request.time;
    notify.xselection.property = None;
    if (request.target == uriList_) {
        XChangeProperty(display_, request.requestor, request.property, uriList_, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uriList.data()),
                        static_cast<int>(uriList.size()));
        notify.xselection.property = request.property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &notify);
    XFlush(display_);
}

bool XdndSource::drop(Window target, int rootX, int rootY, const std::string& uriList) {
    XSetSelectionOwner(display_, selection_, window_, CurrentTime);
    send(target, enter_, 5L << 24, static_cast<long>(uriList_), None, None);
    send(target, position_, 0, static_cast<long>(rootX) << 16 | rootY, CurrentTime,
         static_cast<long>(actionCopy_));
    XEvent event;
    bool accepted = false;
    while (nextEvent(event)) {
        if (event.type == ClientMessage && event.xclient.message_type == status_) {
            accepted = (event.xclient.data.l[1] & 1) != 0 &&
                       static_cast<Atom>(event.xclient.data.l[4]) == actionCopy_;
            break;
        }
    }
    if (!accepted) {
        return false;
    }
    send(target, drop_, 0, CurrentTime, 0, 0);
    while (nextEvent(event)) {
        if (event.type == SelectionRequest) {
            answer(event.xselectionrequest, uriList);
        } else if (event.type == ClientMessage && event.xclient.message_type == finished_) {
            return (event.xclient.data.l[1] & 1) != 0;
        }
    }
    return false;
}

}  // namespace tramvek::testing
