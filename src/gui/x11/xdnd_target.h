// The receiving side of X11 drag and drop (the XDND protocol, version 5) for
// one of our windows: it marks the window XdndAware, answers the source's
// Enter, Position, Leave and Drop messages, converts the XdndSelection to
// text/uri-list on a drop and tells the source when it is done.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace tramvek {

class X11Connection;

class XdndTarget {
  public:
    // Under the connection's lock, once the window exists.
    XdndTarget(X11Connection& connection, Window window);

    // Takes a ClientMessage or SelectionNotify event for the window (under no
    // lock): true if it belonged to a drag. A finished drop of files leaves
    // their local paths in `dropped`.
    bool handle(const XEvent& event, std::vector<std::string>& dropped);

  private:
    enum AtomIndex {
        kAware,
        kEnter,
        kPosition,
        kStatus,
        kLeave,
        kDrop,
        kFinished,
        kSelection,
        kTypeList,
        kActionCopy,
        kUriList,
        kProperty,
        kAtomCount
    };

    void enter(Display* display, const XClientMessageEvent& message);
    void answerPosition(Display* display);
    void requestFiles(Display* display, Time time);
    std::vector<std::string> takeFiles(Display* display, Atom property);
    void finish(Display* display, bool accepted);
    void sendToSource(Display* display, Atom type, long l1, long l2, long l3, long l4);
    bool offersUriList(Display* display, const XClientMessageEvent& enter) const;

    X11Connection& connection_;
    Window window_;
    Atom atoms_[kAtomCount] = {};
    Window source_ = 0;
    bool offered_ = false;
    bool converting_ = false;
};

}  // namespace tramvek
