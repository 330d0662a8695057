#include "cli/info_command.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/info_lv2.h"
#include "formats/json_writer.h"
#include "hosting/lv2/lv2_plugin_name.h"
#include "hosting/plugin_info.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

constexpr float kInfoSampleRate = 44100.0f;
constexpr VstInt32 kInfoBlockSize = 512;
// VST 2.4's double-precision flag; our declarations stop at 2.2.
constexpr VstInt32 kFlagCanDoubleReplacing = 1 << 12;

const std::vector<std::pair<VstInt32, const char*>>& flagNames() {
    static const std::vector<std::pair<VstInt32, const char*>> names = {
        {effFlagsHasEditor, "hasEditor"},
        {effFlagsHasClip, "hasClip"},
        {effFlagsHasVu, "hasVu"},
        {effFlagsCanMono, "canMono"},
        {effFlagsCanReplacing, "canReplacing"},
        {effFlagsProgramChunks, "programChunks"},
        {effFlagsIsSynth, "isSynth"},
        {effFlagsNoSoundInStop, "noSoundInStop"},
        {effFlagsExtIsAsync, "extIsAsync"},
        {effFlagsExtHasBuffer, "extHasBuffer"},
        {kFlagCanDoubleReplacing, "canDoubleReplacing"}};
    return names;
}

std::vector<std::string> setFlagNames(VstInt32 flags) {
    std::vector<std::string> names;
    for (const auto& [bit, name] : flagNames()) {
        if ((flags & bit) != 0) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::string hex32(VstInt32 value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08" PRIx32, static_cast<std::uint32_t>(value));
    return buffer;
}

std::string idText(VstInt32 id) {
    std::string chars = fourCharText(id);
    return chars.empty() ? hex32(id) : hex32(id) + " '" + chars + "'";
}

void printText(const PluginInfo& info, std::ostream& out) {
    const AEffect& r = info.record;
    std::string flagList;
    for (const std::string& name : setFlagNames(r.flags)) {
        flagList += " " + name;
    }
    out << "plugin:         " << info.path << "\n"
        << "magic:          " << idText(r.magic) << "\n"
        << "uniqueID:       " << idText(r.uniqueID) << "\n"
        << "version:        " << r.version << "\n"
        << "numPrograms:    " << r.numPrograms << "\n"
        << "numParams:      " << r.numParams << "\n"
        << "numInputs:      " << r.numInputs << "\n"
        << "numOutputs:     " << r.numOutputs << "\n"
        << "flags:          " << hex32(r.flags) << flagList << "\n"
        << "initialDelay:   " << r.initialDelay << "\n"
        << "realQualities:  " << r.realQualities << "\n"
        << "offQualities:   " << r.offQualities << "\n"
        << "ioRatio:        " << r.ioRatio << "\n"
        << "effect name:    " << info.effectName << "\n"
        << "vendor:         " << info.vendor << "\n"
        << "product:        " << info.product << "\n"
        << "vendor version: " << info.vendorVersion << "\n"
        << "VST version:    " << info.vstVersion << "\n"
        << "category:       " << info.category << "\n"
        << "canDo:\n";
    for (const auto& [name, answer] : info.canDo) {
        out << "  " << name << ": " << answer << "\n";
    }
    out << "parameters:\n";
    for (std::size_t i = 0; i < info.parameters.size(); ++i) {
        const ParameterInfo& p = info.parameters[i];
        out << "  " << i << ": name \"" << p.name << "\" label \"" << p.label << "\" display \"" << p.display
            << "\" value " << p.value << "\n";
    }
    out << "programs:\n";
    for (std::size_t i = 0; i < info.programs.size(); ++i) {
        out << "  " << i << ": \"" << info.programs[i] << "\"\n";
    }
}

void printJson(const PluginInfo& info, std::ostream& out) {
    const AEffect& r = info.record;
    JsonWriter json(out);
    json.beginObject();
    json.key("plugin");
    json.value(info.path);
    json.key("magic");
    json.value(std::int64_t{r.magic});
    json.key("uniqueID");
    json.value(std::int64_t{r.uniqueID});
    json.key("uniqueIDText");
    json.value(fourCharText(r.uniqueID));
    json.key("version");
    json.value(std::int64_t{r.version});
    json.key("numPrograms");
    json.value(std::int64_t{r.numPrograms});
    json.key("numParams");
    json.value(std::int64_t{r.numParams});
    json.key("numInputs");
    json.value(std::int64_t{r.numInputs});
    json.key("numOutputs");
    json.value(std::int64_t{r.numOutputs});
    json.key("flags");
    json.value(std::int64_t{r.flags});
    json.key("flagNames");
    json.beginArray();
    for (const std::string& name : setFlagNames(r.flags)) {
        json.value(name);
    }
    json.endArray();
    json.key("initialDelay");
    json.value(std::int64_t{r.initialDelay});
    json.key("realQualities");
    json.value(std::int64_t{r.realQualities});
    json.key("offQualities");
    json.value(std::int64_t{r.offQualities});
    json.key("ioRatio");
    json.value(double{r.ioRatio});
    json.key("effectName");
    json.value(info.effectName);
    json.key("vendor");
    json.value(info.vendor);
    json.key("product");
    json.value(info.product);
    json.key("vendorVersion");
    json.value(std::int64_t{info.vendorVersion});
    json.key("vstVersion");
    json.value(std::int64_t{info.vstVersion});
    json.key("category");
    json.value(std::int64_t{info.category});
    json.key("canDo");
    json.beginObject();
    for (const auto& [name, answer] : info.canDo) {
        json.key(name);
        json.value(std::int64_t{answer});
    }
    json.endObject();
    json.key("parameters");
    json.beginArray();
    for (const ParameterInfo& p : info.parameters) {
        json.beginObject();
        json.key("name");
        json.value(p.name);
        json.key("label");
        json.value(p.label);
        json.key("display");
        json.value(p.display);
        json.key("value");
        json.value(double{p.value});
        json.endObject();
    }
    json.endArray();
    json.key("programs");
    json.beginArray();
    for (const std::string& name : info.programs) {
        json.value(name);
    }
    json.endArray();
    json.endObject();
}

}  // namespace

void runInfo(const InfoOptions& options, std::ostream& out) {
    if (namesLv2Plugin(options.plugin)) {
        runLv2Info(options, out);
        return;
    }
    HostContext host;
    host.sampleRate = kInfoSampleRate;
    host.blockSize = kInfoBlockSize;
    host.timeInfo = stoppedTimeInfo(Transport{120.0, kInfoSampleRate, 0.0});
    PluginInstance plugin(options.plugin, host);
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, kInfoSampleRate);
    plugin.dispatch(effSetBlockSize, 0, kInfoBlockSize);
    PluginInfo info = gatherPluginInfo(plugin, options.plugin);
    if (options.json) {
        printJson(info, out);
    } else {
        printText(info, out);
    }
}

}  // namespace tramvek
