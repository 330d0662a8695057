// What a plug-in declares about itself, gathered through the dispatcher.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "hosting/plugin_instance.h"

namespace tramvek {

struct ParameterInfo {
    std::string name;
    std::string label;
    std::string display;
    float value = 0.0f;
};

struct PluginInfo {
    std::string path;
    AEffect record{};
    std::string effectName;
    std::string vendor;
    std::string product;
    VstIntPtr vendorVersion = 0;
    VstIntPtr vstVersion = 0;
    VstIntPtr category = 0;
    std::vector<std::pair<std::string, VstIntPtr>> canDo;
    std::vector<ParameterInfo> parameters;
    std::vector<std::string> programs;
};

// The capability names of the VST 2 vocabulary a host may ask about.
const std::vector<std::string>& capabilityNames();

PluginInfo gatherPluginInfo(PluginInstance& plugin, const std::string& path);

// Four printable characters of an ID, or "" when some are not printable.
std::string fourCharText(VstInt32 id);

}  // namespace tramvek
