#pragma once

// The editor's own connection to the X server. Hosts call editor requests from
// more than one thread and the host's own Xlib use is not ours to lock, so the
// plug-in never touches the host's connection: it opens its own while any of
// its windows exists and makes every Xlib call on it under one lock.

#include <X11/Xlib.h>

#include <mutex>

namespace tramvek {

class X11Connection {
  public:
    // Opens the display named by DISPLAY for the first user; false without one.
    bool acquire();
    // Closes the display when the last user is gone.
    void release();

    // Held around every use of display().
    std::mutex& lock() { return lock_; }
    // Null while nobody holds the connection.
    Display* display() const { return display_; }

  private:
    std::mutex lock_;
    Display* display_ = nullptr;
    int users_ = 0;
};

// While alive, X protocol errors on any connection are ignored instead of
// ending the process (Xlib's default), and the ones on `display` are counted:
// a window of ours may vanish under us when the host destroys its parent.
// Call under the connection's lock.
class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to process what was sent; true if none of it failed.
    bool succeeded();

  private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
};

}  // namespace tramvek
