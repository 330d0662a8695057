// What a host does to a freshly opened plug-in before using it: load a bank,
// select a program, load a preset, write a step sheet, set parameters; and, when asked, save the
// state to files afterwards. Shared by `render` and `state`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hosting/plugin_instance.h"

namespace tramvek {

struct ParameterSetting {
    VstInt32 index = 0;
    float value = 0.0f;
};

struct PluginSetup {
    std::optional<VstInt32> program;  // selected after the bank; 0 when not given
    std::vector<ParameterSetting> parameters;
    std::string preset;
    std::string bank;
    std::string stepSheet;  // a step sheet written into the current pattern
    std::string savePreset;
    std::string saveBank;
};

// "I=V", e.g. "5=0.25"; throws HostError for anything else.
ParameterSetting parseParameterSetting(const std::string& text);

// Throws HostError when a program or parameter index is out of the plug-in's range.
void checkSetupFitsPlugin(const PluginSetup& setup, const AEffect& effect);

// Bank, effSetProgram (given program or 0), preset, step sheet, then the
// parameters in order.
void applySetup(PluginInstance& plugin, const PluginSetup& setup);

void saveRequestedFiles(PluginInstance& plugin, const PluginSetup& setup);

}  // namespace tramvek
