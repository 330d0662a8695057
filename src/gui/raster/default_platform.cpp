// The raster back end as the program's platform. Kept apart from RasterPlatform
// so that a back end built on it (X11) can define platform() instead: the
// linker then has no reason to take this file from the library.
#include "gui/raster/raster_platform.h"

namespace tramvek {

Platform& platform() {
    return rasterPlatform();
}

}  // namespace tramvek
