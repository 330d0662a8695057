// Moving presets and banks between .fxp/.fxb files and a loaded plug-in:
// opaque chunks for plug-ins that declare effFlagsProgramChunks, parameter
// lists for the others.
#pragma once

#include <string>

#include "formats/fx_file.h"
#include "hosting/plugin_instance.h"

namespace tramvek {

// Throw HostError when the file does not fit the plug-in (another plug-in's
// ID, a chunk for a plug-in without chunks, wrong parameter or program counts).
void checkPresetFitsPlugin(const FxPreset& preset, const AEffect& effect);
void checkBankFitsPlugin(const FxBank& bank, const AEffect& effect);

// Into the current program.
void applyPreset(PluginInstance& plugin, const FxPreset& preset);
// Every program of the bank; the caller selects a program afterwards.
void applyBank(PluginInstance& plugin, const FxBank& bank);

FxPreset capturePreset(PluginInstance& plugin);
FxBank captureBank(PluginInstance& plugin);

// The file-level operations: read, check and apply; capture and write whole.
void loadPresetFile(PluginInstance& plugin, const std::string& path);
void loadBankFile(PluginInstance& plugin, const std::string& path);
void savePresetFile(PluginInstance& plugin, const std::string& path);
void saveBankFile(PluginInstance& plugin, const std::string& path);

}  // namespace tramvek
