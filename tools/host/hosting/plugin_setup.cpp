#include "hosting/plugin_setup.h"

#include <cmath>
#include <cstdlib>

#include "formats/fx_plugin_state.h"
#include "formats/step_sheet_chunk.h"
#include "host_error.h"

namespace tramvek {
namespace {

// 64 bits on every platform, so that an index beyond 32 bits cannot saturate
// into range (long has 32 bits on Windows).
bool parseWhole(const std::string& text, long long& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    out = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0';
}

bool parseReal(const std::string& text, double& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(out);
}

// The sheet reaches the plug-in as a bank: its own chunk with the lanes rewritten.
void applyStepSheet(PluginInstance& plugin, const std::string& path) {
    const std::vector<SheetStep> steps = readStepSheet(path);
    if (!plugin.hasFlag(effFlagsProgramChunks)) {
        throw HostError("--steps needs a plug-in that keeps its state in chunks");
    }
    FxBank bank = captureBank(plugin);
    writeStepSheet(bank.chunk, steps);
    applyBank(plugin, bank);
}

}  // namespace

ParameterSetting parseParameterSetting(const std::string& text) {
    std::size_t equals = text.find('=');
    long long index = 0;
    double value = 0.0;
    if (equals == std::string::npos || !parseWhole(text.substr(0, equals), index) ||
        !parseReal(text.substr(equals + 1), value)) {
        throw HostError("bad --param '" + text + "': expected INDEX=VALUE, e.g. 5=0.25");
    }
    if (index < 0 || index > 0x7FFFFFFF) {
        throw HostError("bad --param '" + text + "': the index must be 0 or more");
    }
    if (value < 0.0 || value > 1.0) {
        throw HostError("bad --param '" + text + "': parameter values lie in 0..1");
    }
    return {static_cast<VstInt32>(index), static_cast<float>(value)};
}

void checkSetupFitsPlugin(const PluginSetup& setup, const AEffect& effect) {
    if (setup.program && (*setup.program < 0 || *setup.program >= effect.numPrograms)) {
        throw HostError("--program " + std::to_string(*setup.program) + " is out of range: the plug-in has " +
                        std::to_string(effect.numPrograms) + " programs");
    }
    for (const ParameterSetting& setting : setup.parameters) {
        if (setting.index >= effect.numParams) {
            throw HostError("--param index " + std::to_string(setting.index) +
                            " is out of range: the plug-in has " + std::to_string(effect.numParams) +
                            " parameters");
        }
    }
}

void applySetup(PluginInstance& plugin, const PluginSetup& setup) {
    if (!setup.bank.empty()) {
        loadBankFile(plugin, setup.bank);
    }
    // A bank brings its own current program; only an explicit --program
    // overrides it.
    if (setup.program || setup.bank.empty()) {
        plugin.dispatch(effSetProgram, 0, setup.program.value_or(0));
    }
    if (!setup.preset.empty()) {
        loadPresetFile(plugin, setup.preset);
    }
    if (!setup.stepSheet.empty()) {
        applyStepSheet(plugin, setup.stepSheet);
    }
    AEffect& effect = plugin.effect();
    for (const ParameterSetting& setting : setup.parameters) {
        effect.setParameter(&effect, setting.index, setting.value);
    }
}

void saveRequestedFiles(PluginInstance& plugin, const PluginSetup& setup) {
    if (!setup.savePreset.empty()) {
        savePresetFile(plugin, setup.savePreset);
    }
    if (!setup.saveBank.empty()) {
        saveBankFile(plugin, setup.saveBank);
    }
}

}  // namespace tramvek
