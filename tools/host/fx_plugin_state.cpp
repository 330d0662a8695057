#include "fx_plugin_state.h"

#include <iostream>

#include "file_io.h"
#include "host_error.h"
#include "plugin_info.h"

namespace tramvek {
namespace {

constexpr VstInt32 kBankChunkIndex = 0;
constexpr VstInt32 kPresetChunkIndex = 1;

std::string pluginIdText(VstInt32 id) {
    std::string chars = fourCharText(id);
    return chars.empty() ? std::to_string(id) : "'" + chars + "'";
}

void checkPluginId(VstInt32 fileId, const AEffect& effect) {
    if (fileId != effect.uniqueID) {
        throw HostError("the file is for plug-in " + pluginIdText(fileId) + ", not for this one (" +
                        pluginIdText(effect.uniqueID) + ")");
    }
}

void checkChunkSupport(bool opaque, const AEffect& effect) {
    if (opaque && (effect.flags & effFlagsProgramChunks) == 0) {
        throw HostError("the file holds an opaque chunk, but the plug-in does not take chunks");
    }
}

void checkParameterCount(const FxPreset& program, const AEffect& effect) {
    if (!program.opaque && static_cast<VstInt32>(program.parameters.size()) != effect.numParams) {
        throw HostError("the file has " + std::to_string(program.parameters.size()) +
                        " parameters, the plug-in " + std::to_string(effect.numParams));
    }
}

void sendChunk(PluginInstance& plugin, std::vector<std::uint8_t> chunk, VstInt32 index) {
    // Some plug-ins answer 0 even when they took the chunk; ours answers 0 only
    // when it refused it. Either way the render goes on, with a warning.
    if (plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(chunk.size()), chunk.data()) == 0) {
        std::cerr << "tramvek-host: warning: the plug-in answered 0 to the " << (index ? "preset" : "bank")
                  << " chunk (it may have refused it)\n";
    }
}

std::vector<std::uint8_t> receiveChunk(PluginInstance& plugin, VstInt32 index) {
    void* data = nullptr;
    VstIntPtr size = plugin.dispatch(effGetChunk, index, 0, &data);
    if (data == nullptr || size <= 0) {
        throw HostError("the plug-in gave no state chunk");
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

void setProgramParameters(PluginInstance& plugin, const FxPreset& program) {
    AEffect& effect = plugin.effect();
    std::string name = program.name;
    plugin.dispatch(effSetProgramName, 0, 0, name.data());
    for (std::size_t i = 0; i < program.parameters.size(); ++i) {
        effect.setParameter(&effect, static_cast<VstInt32>(i), program.parameters[i]);
    }
}

FxPreset currentProgramParameters(PluginInstance& plugin) {
    AEffect& effect = plugin.effect();
    FxPreset preset;
    preset.pluginId = effect.uniqueID;
    preset.pluginVersion = effect.version;
    preset.numParams = effect.numParams;
    preset.name = plugin.text(effGetProgramName);
    for (VstInt32 i = 0; i < effect.numParams; ++i) {
        preset.parameters.push_back(effect.getParameter(&effect, i));
    }
    return preset;
}

// File errors name the file; errors from the plug-in side stand as they are.
template <typename Operation>
void withFileName(const std::string& what, const std::string& path, Operation operation) {
    try {
        operation();
    } catch (const HostError& e) {
        throw HostError(what + " " + path + ": " + e.what());
    }
}

}  // namespace

void checkPresetFitsPlugin(const FxPreset& preset, const AEffect& effect) {
    checkPluginId(preset.pluginId, effect);
    checkChunkSupport(preset.opaque, effect);
    checkParameterCount(preset, effect);
}

void checkBankFitsPlugin(const FxBank& bank, const AEffect& effect) {
    checkPluginId(bank.pluginId, effect);
    checkChunkSupport(bank.opaque, effect);
    if (!bank.opaque && bank.numPrograms > effect.numPrograms) {
        throw HostError("the file has " + std::to_string(bank.numPrograms) + " programs, the plug-in " +
                        std::to_string(effect.numPrograms));
    }
    for (const FxPreset& program : bank.programs) {
        checkParameterCount(program, effect);
    }
}

void applyPreset(PluginInstance& plugin, const FxPreset& preset) {
    if (preset.opaque) {
        sendChunk(plugin, preset.chunk, kPresetChunkIndex);
    } else {
        setProgramParameters(plugin, preset);
    }
}

void applyBank(PluginInstance& plugin, const FxBank& bank) {
    if (bank.opaque) {
        sendChunk(plugin, bank.chunk, kBankChunkIndex);
        return;
    }
    for (std::size_t i = 0; i < bank.programs.size(); ++i) {
        plugin.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(i));
        setProgramParameters(plugin, bank.programs[i]);
    }
    // The program that was current when the bank was saved is current again.
    // (A chunk carries that itself: selecting a program there would re-apply
    // its stored values over what the chunk restored.)
    const VstInt32 current = bank.currentProgram;
    if (current >= 0 && current < static_cast<VstInt32>(bank.programs.size())) {
        plugin.dispatch(effSetProgram, 0, current);
    }
}

FxPreset capturePreset(PluginInstance& plugin) {
    if (!plugin.hasFlag(effFlagsProgramChunks)) {
        return currentProgramParameters(plugin);
    }
    FxPreset preset;
    preset.pluginId = plugin.effect().uniqueID;
    preset.pluginVersion = plugin.effect().version;
    preset.numParams = plugin.effect().numParams;
    preset.name = plugin.text(effGetProgramName);
    preset.opaque = true;
    preset.chunk = receiveChunk(plugin, kPresetChunkIndex);
    return preset;
}

FxBank captureBank(PluginInstance& plugin) {
    const AEffect& effect = plugin.effect();
    FxBank bank;
    bank.pluginId = effect.uniqueID;
    bank.pluginVersion = effect.version;
    bank.numPrograms = effect.numPrograms;
    auto current = static_cast<VstInt32>(plugin.dispatch(effGetProgram));
    bank.currentProgram = current;
    if (plugin.hasFlag(effFlagsProgramChunks)) {
        bank.opaque = true;
        bank.chunk = receiveChunk(plugin, kBankChunkIndex);
        return bank;
    }
    for (VstInt32 i = 0; i < effect.numPrograms; ++i) {
        plugin.dispatch(effSetProgram, 0, i);
        bank.programs.push_back(currentProgramParameters(plugin));
    }
    plugin.dispatch(effSetProgram, 0, current);
    return bank;
}

void loadPresetFile(PluginInstance& plugin, const std::string& path) {
    std::vector<std::uint8_t> bytes = readWholeFile(path, "preset");
    FxPreset preset;
    withFileName("preset", path, [&] {
        preset = parsePresetFile(bytes);
        checkPresetFitsPlugin(preset, plugin.effect());
    });
    applyPreset(plugin, preset);
}

void loadBankFile(PluginInstance& plugin, const std::string& path) {
    std::vector<std::uint8_t> bytes = readWholeFile(path, "bank");
    FxBank bank;
    withFileName("bank", path, [&] {
        bank = parseBankFile(bytes);
        checkBankFitsPlugin(bank, plugin.effect());
    });
    applyBank(plugin, bank);
}

void savePresetFile(PluginInstance& plugin, const std::string& path) {
    writeWholeFile(path, serializePreset(capturePreset(plugin)));
}

void saveBankFile(PluginInstance& plugin, const std::string& path) {
    writeWholeFile(path, serializeBank(captureBank(plugin)));
}

}  // namespace tramvek
