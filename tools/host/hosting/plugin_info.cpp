#include "hosting/plugin_info.h"

namespace tramvek {

const std::vector<std::string>& capabilityNames() {
    static const std::vector<std::string> names = {"sendVstEvents",
                                                   "sendVstMidiEvent",
                                                   "sendVstTimeInfo",
                                                   "receiveVstEvents",
                                                   "receiveVstMidiEvent",
                                                   "receiveVstTimeInfo",
                                                   "offline",
                                                   "plugAsChannelInsert",
                                                   "plugAsSend",
                                                   "mixDryWet",
                                                   "noRealTime",
                                                   "multipass",
                                                   "metapass",
                                                   "1in1out",
                                                   "1in2out",
                                                   "2in1out",
                                                   "2in2out",
                                                   "2in4out",
                                                   "4in2out",
                                                   "4in4out",
                                                   "4in8out",
                                                   "8in4out",
                                                   "8in8out",
                                                   "midiProgramNames",
                                                   "conformsToWindowRules"};
    return names;
}

std::string fourCharText(VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            return "";
        }
        text += c;
    }
    return text;
}

PluginInfo gatherPluginInfo(PluginInstance& plugin, const std::string& path) {
    PluginInfo info;
    info.path = path;
    info.record = plugin.effect();
    info.effectName = plugin.text(effGetEffectName);
    info.vendor = plugin.text(effGetVendorString);
    info.product = plugin.text(effGetProductString);
    info.vendorVersion = plugin.dispatch(effGetVendorVersion);
    info.vstVersion = plugin.dispatch(effGetVstVersion);
    info.category = plugin.dispatch(effGetPlugCategory);
    for (const std::string& name : capabilityNames()) {
        std::string query = name;
        info.canDo.emplace_back(name, plugin.dispatch(effCanDo, 0, 0, query.data()));
    }
    for (VstInt32 i = 0; i < info.record.numParams; ++i) {
        info.parameters.push_back({plugin.text(effGetParamName, i), plugin.text(effGetParamLabel, i),
                                   plugin.text(effGetParamDisplay, i),
                                   plugin.effect().getParameter(&plugin.effect(), i)});
    }
    for (VstInt32 i = 0; i < info.record.numPrograms; ++i) {
        info.programs.push_back(plugin.programName(i));
    }
    return info;
}

}  // namespace tramvek
