// What the plug-in declares: the effect record, parameter values, capability
// answers, and every text it writes, read through guard bytes.
#include <cmath>
#include <sstream>
#include <vector>

#include "hosting/plugin_info.h"
#include "validation/validate_checks.h"
#include "validation/validate_text.h"

namespace tramvek {
namespace {

constexpr VstInt32 kMaxChannels = 64;
constexpr VstInt32 kMaxParameters = 100000;
constexpr VstInt32 kMaxPrograms = 100000;

std::string hex(VstInt32 value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

std::string checkRecord(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    const AEffect& e = open->effect();
    if (e.dispatcher == nullptr) {
        failCheck("no dispatcher");
    }
    if (e.numInputs < 0 || e.numInputs > kMaxChannels || e.numOutputs < 0 || e.numOutputs > kMaxChannels) {
        failCheck("channel counts out of range: " + std::to_string(e.numInputs) + " in, " +
                  std::to_string(e.numOutputs) + " out");
    }
    if (e.numParams < 0 || e.numParams > kMaxParameters || e.numPrograms < 0 ||
        e.numPrograms > kMaxPrograms) {
        failCheck("counts out of range: " + std::to_string(e.numParams) + " parameters, " +
                  std::to_string(e.numPrograms) + " programs");
    }
    if (e.numParams > 0 && (e.setParameter == nullptr || e.getParameter == nullptr)) {
        failCheck("declares parameters but lacks setParameter or getParameter");
    }
    if ((e.flags & effFlagsCanReplacing) != 0 && e.processReplacing == nullptr) {
        failCheck("declares effFlagsCanReplacing but has no processReplacing entry");
    }
    if (e.processReplacing == nullptr && e.process == nullptr) {
        failCheck("has no process entry at all");
    }
    if (e.uniqueID == 0) {
        failCheck("unique ID is 0: hosts cannot tell its songs' settings apart");
    }
    if (e.initialDelay < 0) {
        failCheck("negative initial delay " + std::to_string(e.initialDelay));
    }
    VstIntPtr vstVersion = open->plugin().dispatch(effGetVstVersion);
    if (vstVersion != 0 && (vstVersion < 2000 || vstVersion > 2999)) {
        failCheck("effGetVstVersion answers " + std::to_string(vstVersion) + ", not 0 or 2000..2999");
    }
    std::string id = fourCharText(e.uniqueID);
    return std::to_string(e.numInputs) + " in, " + std::to_string(e.numOutputs) + " out, " +
           std::to_string(e.numParams) + " parameters, " + std::to_string(e.numPrograms) +
           " programs, flags " + hex(e.flags) + ", ID " + (id.empty() ? hex(e.uniqueID) : "'" + id + "'") +
           ", VST version " + std::to_string(vstVersion);
}

std::string checkParameterValues(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        float value = e.getParameter(&e, i);
        if (!(value >= 0.0f && value <= 1.0f)) {
            std::ostringstream why;
            why << "parameter " << i << " starts at " << value << ", outside 0..1";
            failCheck(why.str());
        }
    }
    return std::to_string(e.numParams) + " parameters start within 0..1";
}

std::string checkCanDo(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    std::vector<std::string> names = capabilityNames();
    int yes = 0;
    for (std::string& name : names) {
        VstIntPtr answer = open->plugin().dispatch(effCanDo, 0, 0, name.data());
        if (answer < -1 || answer > 1) {
            failCheck("canDo(\"" + name + "\") answers " + std::to_string(answer) + ", not -1, 0 or 1");
        }
        yes += answer == 1 ? 1 : 0;
    }
    for (std::string unknown :
         {std::string(), std::string("tramvekValidateNoSuchCapability"), std::string(300, 'x')}) {
        if (open->plugin().dispatch(effCanDo, 0, 0, unknown.data()) == 1) {
            failCheck("canDo answers 1 to an unknown capability of " + std::to_string(unknown.size()) +
                      " characters");
        }
    }
    return std::to_string(names.size()) + " capabilities asked, " + std::to_string(yes) + " claimed";
}

// Collects text faults (fatal) and texts past the nominal parameter size (noted).
class TextAudit {
  public:
    void check(const std::string& what, const GuardedText& text, std::size_t size) {
        ++count_;
        if (std::string overrun = textOverrun(text, size); !overrun.empty() && fault_.empty()) {
            fault_ = what + ": " + overrun;
        }
    }
    void checkParameterText(const std::string& what, const GuardedText& text) {
        check(what, text, kParamTextSize);
        if (text.terminated && text.text.size() + 1 > kParamTextNominal) {
            long_.push_back(what + " \"" + text.text + "\"");
        }
    }
    std::string summary() const {
        if (!fault_.empty()) {
            failCheck(fault_);
        }
        std::string result = std::to_string(count_) + " texts within their buffers";
        if (!long_.empty()) {
            result += "; note: " + std::to_string(long_.size()) + " parameter texts longer than " +
                      std::to_string(kVstMaxParamStrLen) + " characters, e.g. " + long_.front();
        }
        return result;
    }

  private:
    int count_ = 0;
    std::string fault_;
    std::vector<std::string> long_;
};

std::string checkTextLimits(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    PluginInstance& plugin = open->plugin();
    const AEffect& e = open->effect();
    TextAudit audit;
    audit.check("effect name", queryGuardedText(plugin, effGetEffectName), kEffectNameSize);
    audit.check("vendor", queryGuardedText(plugin, effGetVendorString), kVendorTextSize);
    audit.check("product", queryGuardedText(plugin, effGetProductString), kProductTextSize);
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        std::string p = "parameter " + std::to_string(i);
        audit.checkParameterText(p + " name", queryGuardedText(plugin, effGetParamName, i));
        audit.checkParameterText(p + " label", queryGuardedText(plugin, effGetParamLabel, i));
        audit.checkParameterText(p + " display", queryGuardedText(plugin, effGetParamDisplay, i));
    }
    auto current = static_cast<VstInt32>(plugin.dispatch(effGetProgram));
    for (VstInt32 p = 0; p < e.numPrograms; ++p) {
        std::string what = "program " + std::to_string(p) + " name";
        audit.check(what + " by index", queryGuardedText(plugin, effGetProgramNameIndexed, p, -1),
                    kProgramNameSize);
        plugin.dispatch(effSetProgram, 0, p);
        audit.check(what, queryGuardedText(plugin, effGetProgramName), kProgramNameSize);
    }
    plugin.dispatch(effSetProgram, 0, current);
    return audit.summary();
}

std::string checkParameterDisplays(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    TextAudit audit;
    int steps = context.scaled(20);
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        for (int s = 0; s <= steps; ++s) {
            e.setParameter(&e, i, static_cast<float>(s) / static_cast<float>(steps));
            audit.checkParameterText("parameter " + std::to_string(i) + " display at " + std::to_string(s) +
                                         "/" + std::to_string(steps),
                                     queryGuardedText(open->plugin(), effGetParamDisplay, i));
        }
    }
    return audit.summary();
}

}  // namespace

void runInfoChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("info/record", [&] { return checkRecord(context); });
    runner.run("info/parameter-values", [&] { return checkParameterValues(context); });
    runner.run("info/can-do", [&] { return checkCanDo(context); });
    runner.run("info/text-limits", [&] { return checkTextLimits(context); });
    runner.run("info/parameter-displays", [&] { return checkParameterDisplays(context); });
}

}  // namespace tramvek
