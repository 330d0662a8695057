// `state`: load presets, banks and parameter settings into a plug-in, show the
// resulting program and parameters, and save presets or banks. Audio goes into
// and out of a tramvek bank's frozen buffer as WAV files.
#pragma once

#include <ostream>
#include <string>

#include "hosting/plugin_setup.h"

namespace tramvek {

struct StateOptions {
    std::string plugin;
    PluginSetup setup;
    std::string freezeAudio;   // a WAV file put into the frozen buffer
    std::string exportFrozen;  // the frozen buffer written as a WAV file
};

void runState(const StateOptions& options, std::ostream& out);

}  // namespace tramvek
