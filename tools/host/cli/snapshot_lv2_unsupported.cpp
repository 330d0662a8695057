// Builds without lilv or X11 show no LV2 UI.
#include "cli/snapshot_lv2.h"
#include "host_error.h"

namespace tramvek {

void runLv2Snapshot(const SnapshotOptions& options) {
    throw HostError(options.plugin + " names an LV2 plug-in; this build of the host cannot show LV2 UIs");
}

}  // namespace tramvek
