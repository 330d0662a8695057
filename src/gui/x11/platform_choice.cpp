// The X11 back end as the program's platform (the Linux plug-in's editor).
#include "gui/x11/x11_platform.h"

namespace tramvek {

Platform& platform() {
    return x11Platform();
}

}  // namespace tramvek
