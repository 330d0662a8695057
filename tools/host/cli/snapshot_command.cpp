#include "cli/snapshot_command.h"

#include <algorithm>
#include <cmath>

#include "cli/snapshot_lv2.h"
#include "formats/demo_loop.h"
#include "formats/file_io.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/lv2/lv2_plugin_name.h"
#include "hosting/plugin_setup.h"
#include "hosting/transport_clock.h"
#include "window/open_editor.h"

namespace tramvek {
namespace {

constexpr double kSampleRate = kSnapshotSampleRate;
constexpr double kTempo = kSnapshotTempo;
constexpr int kBlockSize = kSnapshotBlockSize;

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(),
                                                      [](char a, char b) { return std::tolower(a) == b; });
}

PluginSetup setupFor(const SnapshotOptions& options) {
    PluginSetup setup;
    if (endsWith(options.state, ".fxp")) {
        setup.preset = options.state;
    } else {
        setup.bank = options.state;
    }
    return setup;
}

// Plays the demo loop (repeated as needed) through the plug-in for `seconds`.
void playDemo(PluginInstance& plugin, HostContext& host, double seconds) {
    const StereoAudio loop = synthesizeDemoLoop(kTempo, kSampleRate);
    const Transport transport{kTempo, kSampleRate, 0.0};
    const auto total = static_cast<std::size_t>(std::llround(seconds * kSampleRate));
    AEffect& effect = plugin.effect();
    BlockBuffers buffers(effect.numInputs, effect.numOutputs, kBlockSize);
    for (std::size_t position = 0; position < total; position += kBlockSize) {
        const std::size_t frames = std::min<std::size_t>(kBlockSize, total - position);
        buffers.prepare(loop, position % loop.frames(), frames);
        host.timeInfo = playingTimeInfo(transport, static_cast<double>(position));
        const auto count = static_cast<VstInt32>(frames);
        if (plugin.hasFlag(effFlagsCanReplacing)) {
            effect.processReplacing(&effect, buffers.inputs(), buffers.outputs(), count);
        } else {
            effect.process(&effect, buffers.inputs(), buffers.outputs(), count);
        }
    }
}

}  // namespace

void runSnapshot(const SnapshotOptions& options) {
    if (!(options.renderFirstSeconds >= 0.0 && options.renderFirstSeconds <= 600.0)) {
        throw HostError("--render-first must be between 0 and 600 seconds");
    }
    if (namesLv2Plugin(options.plugin)) {
        runLv2Snapshot(options);
        return;
    }
    if (options.holdMilliseconds != 0) {
        throw HostError("--hold is for LV2 editors");
    }
    HostContext host;
    host.sampleRate = static_cast<float>(kSampleRate);
    host.blockSize = kBlockSize;
    host.timeInfo = stoppedTimeInfo(Transport{kTempo, kSampleRate, 0.0});
    PluginInstance plugin(options.plugin, host);
    if (!plugin.hasFlag(effFlagsHasEditor)) {
        throw HostError("plug-in has no editor");
    }
    // Opened first, so that an unwritable output fails before any work.
    PendingFile output(options.output);
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    plugin.dispatch(effSetBlockSize, 0, kBlockSize);
    if (!options.state.empty()) {
        applySetup(plugin, setupFor(options));
    }
    plugin.resume();
    playDemo(plugin, host, options.renderFirstSeconds);

    RgbImage picture;
    {
        OpenEditor editor(plugin, "tramvek-host snapshot");
        editor.idle(kSnapshotSettleMilliseconds);
        picture = editor.window().capture();
    }
    output.write(encodePng(picture));
    output.commit();
}

}  // namespace tramvek
