// The headless raster back end as the program's platform. Linking
// tramvek_platform_headless is how a test program names its back end.
#include "support/headless_platform.h"

namespace tramvek {

Platform& platform() {
    return headlessPlatform();
}

}  // namespace tramvek
