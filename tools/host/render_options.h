// The settings of a render, and the checks that need no plug-in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/vst2.h"

namespace tramvek {

struct ParameterSetting {
    VstInt32 index = 0;
    float value = 0.0f;
};

struct RenderOptions {
    std::string plugin;
    std::string input;  // empty or "demo": the built-in demo loop
    std::string output;
    double tempo = 120.0;
    std::optional<double> sampleRate;  // default: the input's, 44100 for the demo loop
    std::vector<int> blockSizes{512};  // cycled through, block after block
    double ppqStart = 0.0;
    std::optional<VstInt32> program;
    std::vector<ParameterSetting> parameters;
    double tailSeconds = 0.0;
};

// "I=V", e.g. "5=0.25"; throws HostError for anything else.
ParameterSetting parseParameterSetting(const std::string& text);

// Throws HostError naming the first option out of range.
void validateRenderOptions(const RenderOptions& options);

bool rendersDemoLoop(const RenderOptions& options);

}  // namespace tramvek
