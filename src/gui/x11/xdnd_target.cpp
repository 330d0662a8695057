#include "gui/x11/xdnd_target.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <mutex>

#include "gui/x11/uri_list.h"
#include "gui/x11/x11_connection.h"

namespace tramvek {
namespace {

constexpr long kVersion = 5;
// Far more than any list of dropped files; read in 32-bit units.
constexpr long kMostListWords = 1 << 20;

std::string thisHost() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

}  // namespace

XdndTarget::XdndTarget(X11Connection& connection, Window window) : connection_(connection), window_(window) {
    static const char* const names[kAtomCount] = {
        "XdndAware",    "XdndEnter",     "XdndPosition", "XdndStatus",     "XdndLeave",     "XdndDrop",
        "XdndFinished", "XdndSelection", "XdndTypeList", "XdndActionCopy", "text/uri-list", "TRAMVEK_DROP"};
    Display* display = connection_.display();
    XInternAtoms(display, const_cast<char**>(names), kAtomCount, False, atoms_);
    const long version = kVersion;
    XChangeProperty(display, window_, atoms_[kAware], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
}

bool XdndTarget::handle(const XEvent& event, std::vector<std::string>& dropped) {
    std::lock_guard<std::mutex> hold(connection_.lock());
    Display* display = connection_.display();
    if (display == nullptr) {
        return false;
    }
    X11ErrorTrap trap(display);  // the source may vanish at any point
    if (event.type == SelectionNotify) {
        const XSelectionEvent& selection = event.xselection;
        if (!converting_ || selection.requestor != window_ || selection.selection != atoms_[kSelection]) {
            return false;
        }
        converting_ = false;
        dropped =
            selection.property == None ? std::vector<std::string>{} : takeFiles(display, selection.property);
        finish(display, !dropped.empty());
        return true;
    }
    if (event.type != ClientMessage) {
        return false;
    }
    const XClientMessageEvent& message = event.xclient;
    const auto from = static_cast<Window>(message.data.l[0]);
    if (message.message_type == atoms_[kEnter]) {
        enter(display, message);
    } else if (message.message_type == atoms_[kPosition] && from == source_) {
        answerPosition(display);
    } else if (message.message_type == atoms_[kLeave] && from == source_) {
        source_ = 0;
    } else if (message.message_type == atoms_[kDrop] && from == source_) {
        if (offered_) {
            requestFiles(display, static_cast<Time>(message.data.l[2]));
        } else {
            finish(display, false);
        }
    } else {
        return false;
    }
    return true;
}

void XdndTarget::enter(Display* display, const XClientMessageEvent& message) {
    source_ = static_cast<Window>(message.data.l[0]);
    converting_ = false;
    const long version = (message.data.l[1] >> 24) & 0xff;
    offered_ = version <= kVersion && offersUriList(display, message);
}

bool XdndTarget::offersUriList(Display* display, const XClientMessageEvent& enter) const {
    const bool moreThanThree = (enter.data.l[1] & 1) != 0;
    if (!moreThanThree) {
        for (int i = 2; i < 5; ++i) {
            if (static_cast<Atom>(enter.data.l[i]) == atoms_[kUriList]) {
                return true;
            }
        }
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, source_, atoms_[kTypeList], 0, kMostListWords, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        type == XA_ATOM && format == 32 && data != nullptr) {
        const auto* types = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            found = types[i] == atoms_[kUriList];
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

// The whole window takes files; the frame hands them to the view under the pointer.
void XdndTarget::answerPosition(Display* display) {
    constexpr long kAccepts = 1;
    constexpr long kSendPositions = 2;  // no rectangle: every move is asked about
    sendToSource(display, atoms_[kStatus], (offered_ ? kAccepts : 0) | kSendPositions, 0, 0,
                 offered_ ? static_cast<long>(atoms_[kActionCopy]) : None);
}

void XdndTarget::requestFiles(Display* display, Time time) {
    converting_ = true;
    XDeleteProperty(display, window_, atoms_[kProperty]);
    XConvertSelection(display, atoms_[kSelection], atoms_[kUriList], atoms_[kProperty], window_, time);
    XFlush(display);
}

std::vector<std::string> XdndTarget::takeFiles(Display* display, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<std::string> paths;
    if (XGetWindowProperty(display, window_, property, 0, kMostListWords, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        format == 8 && data != nullptr) {
        static const std::string host = thisHost();
        paths = localPathsOf({reinterpret_cast<const char*>(data), count}, host);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return paths;
}

void XdndTarget::finish(Display* display, bool accepted) {
    sendToSource(display, atoms_[kFinished], accepted ? 1 : 0,
                 accepted ? static_cast<long>(atoms_[kActionCopy]) : None, 0, 0);
    source_ = 0;
    offered_ = false;
}

void XdndTarget::sendToSource(Display* display, Atom type, long l1, long l2, long l3, long l4) {
    if (source_ == 0) {
        return;
    }
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.display = display;
    reply.xclient.window = source_;
    reply.xclient.message_type = type;
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = static_cast<long>(window_);
    reply.xclient.data.l[1] = l1;
    reply.xclient.data.l[2] = l2;
    reply.xclient.data.l[3] = l3;
    reply.xclient.data.l[4] = l4;
    XSendEvent(display, source_, False, NoEventMask, &reply);
    XFlush(display);
}

}  // namespace tramvek
