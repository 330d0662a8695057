#include "gui/win32/window_class.h"

#include <cstdint>
#include <cstdio>

#include "host/module_instance.h"

namespace tramvek {

namespace {

// Window-thread only, like everything else in the toolkit.
int32_t uses = 0;

}  // namespace

HINSTANCE WindowClass::module() {
    return static_cast<HINSTANCE>(moduleInstance());
}

std::string WindowClass::name() {
    // Eight hexadecimal digits: a 64-bit handle contributes its low half.
    char text[32];
    std::snprintf(
        text, sizeof text, "Plugin%08x",
        static_cast<unsigned>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(module()))));
    return text;
}

bool WindowClass::acquire(WNDPROC procedure) {
    if (uses == 0) {
        const std::string className = name();
        WNDCLASSA windowClass{};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = module();
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = className.c_str();
        if (RegisterClassA(&windowClass) == 0) {
            return false;
        }
    }
    ++uses;
    return true;
}

void WindowClass::release() {
    if (uses > 0 && --uses == 0) {
        UnregisterClassA(name().c_str(), module());
    }
}

int32_t WindowClass::useCount() {
    return uses;
}

}  // namespace tramvek
