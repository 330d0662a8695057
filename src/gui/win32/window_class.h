#pragma once

#include <windows.h>

#include <string>

namespace tramvek {

// The child-window class all frames of the process share, named "Plugin%08x"
// after the module handle. The first use registers it, the last release
// unregisters it.
class WindowClass {
  public:
    // Registers the class if this is its first use; false (and no use counted)
    // if registration fails.
    static bool acquire(WNDPROC procedure);
    static void release();

    static std::string name();
    static HINSTANCE module();
    static int32_t useCount();
};

}  // namespace tramvek
