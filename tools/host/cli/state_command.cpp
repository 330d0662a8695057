#include "cli/state_command.h"

#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

constexpr float kStateSampleRate = 44100.0f;
constexpr VstInt32 kStateBlockSize = 512;

void printCurrentState(PluginInstance& plugin, std::ostream& out) {
    AEffect& effect = plugin.effect();
    out << "program " << plugin.dispatch(effGetProgram) << " \"" << plugin.text(effGetProgramName) << "\"\n";
    for (VstInt32 i = 0; i < effect.numParams; ++i) {
        out << "  " << i << ": " << plugin.text(effGetParamName, i) << " = "
            << effect.getParameter(&effect, i) << " (\"" << plugin.text(effGetParamDisplay, i) << "\")\n";
    }
}

}  // namespace

void runState(const StateOptions& options, std::ostream& out) {
    HostContext host;
    host.sampleRate = kStateSampleRate;
    host.blockSize = kStateBlockSize;
    host.timeInfo = stoppedTimeInfo(Transport{120.0, kStateSampleRate, 0.0});
    PluginInstance plugin(options.plugin, host);
    checkSetupFitsPlugin(options.setup, plugin.effect());
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, kStateSampleRate);
    plugin.dispatch(effSetBlockSize, 0, kStateBlockSize);
    applySetup(plugin, options.setup);
    saveRequestedFiles(plugin, options.setup);
    printCurrentState(plugin, out);
}

}  // namespace tramvek
