// `snapshot` of an LV2 plug-in's UI: the plug-in hosted through lilv, its UI
// in a window of ours, the two joined only by ports as a host joins them.
#pragma once

#include "cli/snapshot_command.h"

namespace tramvek {

// Throws HostError in a build without LV2 hosting.
void runLv2Snapshot(const SnapshotOptions& options);

}  // namespace tramvek
