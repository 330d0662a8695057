#include "cli/render_command.h"

#include "cli/render_lv2.h"
#include "cli/render_stream.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/lv2/lv2_plugin_name.h"
#include "hosting/midi_schedule.h"
#include "hosting/plugin_instance.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

void checkOutputs(const AEffect& effect) {
    if (effect.numOutputs < 1) {
        throw HostError("the plug-in has no audio outputs");
    }
}

void processBlock(PluginInstance& plugin, BlockBuffers& buffers, VstInt32 frames) {
    AEffect& effect = plugin.effect();
    if (plugin.hasFlag(effFlagsCanReplacing)) {
        effect.processReplacing(&effect, buffers.inputs(), buffers.outputs(), frames);
    } else {
        // The accumulating entry adds to the outputs, which prepare() cleared.
        effect.process(&effect, buffers.inputs(), buffers.outputs(), frames);
    }
}

void renderVst2(const RenderJob& job) {
    const RenderOptions& options = job.options;
    if (!options.lv2State.empty() || !options.saveLv2State.empty()) {
        throw HostError(
            "--lv2-state and --save-lv2-state are for LV2 plug-ins; VST 2 state travels in .fxp/.fxb");
    }
    MidiSchedule midi(job.midi, job.sampleRate);
    HostContext host;
    host.sampleRate = static_cast<float>(job.sampleRate);
    host.blockSize = job.maxBlock;
    Transport transport{options.tempo, job.sampleRate, options.ppqStart};
    host.timeInfo = stoppedTimeInfo(transport);
    PluginInstance plugin(options.plugin, host);
    checkOutputs(plugin.effect());
    checkSetupFitsPlugin(options.setup, plugin.effect());
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(job.sampleRate));
    plugin.dispatch(effSetBlockSize, 0, job.maxBlock);
    applySetup(plugin, options.setup);
    plugin.resume();
    const AEffect& effect = plugin.effect();
    BlockBuffers buffers(effect.numInputs, effect.numOutputs, static_cast<std::size_t>(job.maxBlock));
    streamBlocks(job, buffers, [&](std::uint64_t position, std::size_t frames) {
        host.timeInfo = playingTimeInfo(transport, static_cast<double>(position));
        if (VstEvents* events = midi.eventsForBlock(position, frames)) {
            plugin.dispatch(effProcessEvents, 0, 0, events);
        }
        processBlock(plugin, buffers, static_cast<VstInt32>(frames));
    });
    // The state after the render, frozen or recorded audio included.
    saveRequestedFiles(plugin, options.setup);
    plugin.suspend();
}

}  // namespace

void runRender(const RenderOptions& options) {
    runRenderJob(options, namesLv2Plugin(options.plugin) ? renderLv2 : renderVst2);
}

}  // namespace tramvek
