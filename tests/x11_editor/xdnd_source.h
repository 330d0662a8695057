// The dragging side of XDND as a file manager plays it, on a connection of
// its own: offers text/uri-list, moves over the target, drops, hands over the
// list when the target asks for it and waits for the target to finish.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace tramvek::testing {

class XdndSource {
  public:
    XdndSource();
    ~XdndSource();

    // The XDND version `window` declares (0: not XdndAware).
    int awareVersion(Window window);
    // Drags `uriList` to (rootX, rootY) over `target` and drops it. True when
    // the target accepted the position and finished the drop accepting it.
    bool drop(Window target, int rootX, int rootY, const std::string& uriList);

  private:
    // The next event of ours, or false after about five seconds without one.
    bool nextEvent(XEvent& event);
    void send(Window target, Atom type, long l1, long l2, long l3, long l4);
    void answer(const XSelectionRequestEvent& request, const std::string& uriList);

    Display* display_;
    Window window_ = 0;
    Atom aware_, enter_, position_, status_, drop_, finished_, selection_, actionCopy_, uriList_;
};

}  // namespace tramvek::testing
