// The settings of a render, and the checks that need no plug-in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hosting/plugin_setup.h"

namespace tramvek {

struct RenderOptions {
    std::string plugin;
    std::string input;  // empty or "demo": the built-in demo loop
    std::string output;
    double tempo = 120.0;
    std::optional<double> sampleRate;  // default: the input's, 44100 for the demo loop
    std::vector<int> blockSizes{512};  // cycled through, block after block
    double ppqStart = 0.0;
    double tailSeconds = 0.0;
    std::string midi;          // a standard MIDI file, or empty
    std::string lv2State;      // an LV2 state directory loaded before the render
    std::string saveLv2State;  // and one saved after it
    PluginSetup setup;
};

// Throws HostError naming the first option out of range.
void validateRenderOptions(const RenderOptions& options);

bool rendersDemoLoop(const RenderOptions& options);

}  // namespace tramvek
