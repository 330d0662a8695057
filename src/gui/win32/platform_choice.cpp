// The Win32 back end as the program's platform (the Windows plug-in's editor).
#include "gui/win32/win32_platform.h"

namespace tramvek {

Platform& platform() {
    static Win32Platform instance;
    return instance;
}

}  // namespace tramvek
