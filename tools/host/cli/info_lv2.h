// `info` for an LV2 plug-in: what its description declares (URI, name,
// features, extension data, ports with their ranges and what they take).
#pragma once

#include <ostream>

#include "cli/info_command.h"

namespace tramvek {

// Throws HostError in a build without LV2 hosting.
void runLv2Info(const InfoOptions& options, std::ostream& out);

}  // namespace tramvek
