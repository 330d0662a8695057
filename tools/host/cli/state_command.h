// `state`: load presets, banks and parameter settings into a plug-in, show the
// resulting program and parameters, and save presets or banks - no audio.
#pragma once

#include <ostream>
#include <string>

#include "hosting/plugin_setup.h"

namespace tramvek {

struct StateOptions {
    std::string plugin;
    PluginSetup setup;
};

void runState(const StateOptions& options, std::ostream& out);

}  // namespace tramvek
