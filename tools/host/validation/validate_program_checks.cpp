// Programs: every one selected and read back (while audio runs between the
// changes), numbers outside the range, and renaming.
#include <limits>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"
#include "validation/validate_text.h"

namespace tramvek {
namespace {

void requirePrograms(const AEffect& e) {
    if (e.numPrograms <= 0) {
        skipCheck("the plug-in declares no programs");
    }
}

std::string selectEveryProgram(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    PluginInstance& plugin = open->plugin();
    requirePrograms(open->effect());
    AudioRun run(*open, 7);
    int rounds = context.scaled(3);
    int named = 0;
    for (int round = 0; round < rounds; ++round) {
        for (VstInt32 p = 0; p < open->effect().numPrograms; ++p) {
            plugin.dispatch(effSetProgram, 0, p);
            VstIntPtr current = plugin.dispatch(effGetProgram);
            if (current != p) {
                failCheck("effSetProgram " + std::to_string(p) + ", then effGetProgram answers " +
                          std::to_string(current));
            }
            GuardedText name = queryGuardedText(plugin, effGetProgramName);
            if (std::string overrun = textOverrun(name, kProgramNameSize); !overrun.empty()) {
                failCheck("program " + std::to_string(p) + " name: " + overrun);
            }
            GuardedText indexed = queryGuardedText(plugin, effGetProgramNameIndexed, p, -1);
            if (indexed.answer != 0) {
                ++named;
                if (indexed.text != name.text) {
                    failCheck("program " + std::to_string(p) + " is \"" + name.text +
                              "\" when selected but \"" + indexed.text + "\" by index");
                }
            }
            run.process(open->maxBlock());
        }
    }
    return std::to_string(open->effect().numPrograms) + " programs selected " + std::to_string(rounds) +
           " times with audio between" + (named > 0 ? ", names by index agree" : "");
}

std::string selectOutOfRange(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    PluginInstance& plugin = open->plugin();
    const AEffect& e = open->effect();
    requirePrograms(e);
    AudioRun run(*open, 8);
    for (VstIntPtr bad : {static_cast<VstIntPtr>(e.numPrograms), static_cast<VstIntPtr>(-1),
                          static_cast<VstIntPtr>(e.numPrograms) + 1000,
                          static_cast<VstIntPtr>(std::numeric_limits<VstInt32>::max()),
                          static_cast<VstIntPtr>(std::numeric_limits<VstInt32>::min())}) {
        plugin.dispatch(effSetProgram, 0, bad);
        VstIntPtr current = plugin.dispatch(effGetProgram);
        if (current < 0 || current >= e.numPrograms) {
            failCheck("after effSetProgram " + std::to_string(bad) + " the current program is " +
                      std::to_string(current));
        }
        run.process(open->maxBlock());
        queryGuardedText(plugin, effGetProgramName);
    }
    return "5 program numbers outside 0.." + std::to_string(e.numPrograms - 1) + " left the program in range";
}

std::string renamePrograms(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    PluginInstance& plugin = open->plugin();
    requirePrograms(open->effect());
    std::string original = queryGuardedText(plugin, effGetProgramName).text;
    std::string shortName = "validate 7";
    plugin.dispatch(effSetProgramName, 0, 0, shortName.data());
    std::string readBack = queryGuardedText(plugin, effGetProgramName).text;
    // A name as long as a careless host may send: the plug-in must cut it.
    std::string longName(200, 'n');
    plugin.dispatch(effSetProgramName, 0, 0, longName.data());
    GuardedText cut = queryGuardedText(plugin, effGetProgramName);
    if (std::string overrun = textOverrun(cut, kProgramNameSize); !overrun.empty()) {
        failCheck("after a 200-character name: " + overrun);
    }
    plugin.dispatch(effSetProgramName, 0, 0, original.data());
    if (readBack != shortName) {
        return "the plug-in keeps its own names (\"" + shortName + "\" reads back as \"" + readBack +
               "\"); a long name stays within its buffer";
    }
    return "a name reads back as set; a 200-character one is cut to " + std::to_string(cut.text.size());
}

}  // namespace

void runProgramChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("programs/select-all", [&] { return selectEveryProgram(context); });
    runner.run("programs/out-of-range", [&] { return selectOutOfRange(context); });
    runner.run("programs/rename", [&] { return renamePrograms(context); });
}

}  // namespace tramvek
