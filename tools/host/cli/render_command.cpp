#include "cli/render_command.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "cli/progress_bar.h"
#include "formats/audio_input.h"
#include "formats/demo_loop.h"
#include "formats/file_io.h"
#include "formats/wav_codec.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/midi_schedule.h"
#include "hosting/plugin_instance.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

constexpr double kDemoSampleRate = 44100.0;

StereoAudio loadInput(const RenderOptions& options) {
    if (rendersDemoLoop(options)) {
        return synthesizeDemoLoop(options.tempo, options.sampleRate.value_or(kDemoSampleRate));
    }
    StereoAudio input = readAudioFile(options.input);
    if (options.sampleRate && *options.sampleRate != input.sampleRate) {
        throw HostError(options.input + " is at " + std::to_string(static_cast<long>(input.sampleRate)) +
                        " Hz; the host does not resample, so leave out --sample-rate or give that rate");
    }
    return input;
}

void checkOutputs(const AEffect& effect) {
    if (effect.numOutputs < 1) {
        throw HostError("the plug-in has no audio outputs");
    }
}

std::vector<TimedMidiMessage> loadMidi(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::vector<std::uint8_t> bytes = readWholeFile(path, "MIDI file");
    try {
        return parseMidiFile(bytes);
    } catch (const HostError& e) {
        throw HostError("MIDI file " + path + ": " + e.what());
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

struct RenderRun {
    PluginInstance& plugin;
    HostContext& host;
    const Transport& transport;
    const StereoAudio& input;
    std::uint64_t totalFrames;
    const std::vector<int>& blockSizes;
    int maxBlock;
    MidiSchedule& midi;
    PendingFile& output;
};

void renderBlocks(const RenderRun& run) {
    const AEffect& effect = run.plugin.effect();
    BlockBuffers buffers(effect.numInputs, effect.numOutputs, static_cast<std::size_t>(run.maxBlock));
    ProgressBar progress(run.totalFrames);
    std::vector<std::uint8_t> encoded;
    std::size_t blockIndex = 0;
    for (std::uint64_t position = 0; position < run.totalFrames; ++blockIndex) {
        auto wanted = static_cast<std::uint64_t>(run.blockSizes[blockIndex % run.blockSizes.size()]);
        auto frames = static_cast<std::size_t>(std::min(wanted, run.totalFrames - position));
        buffers.prepare(run.input, static_cast<std::size_t>(position), frames);
        run.host.timeInfo = playingTimeInfo(run.transport, static_cast<double>(position));
        if (VstEvents* events = run.midi.eventsForBlock(position, frames)) {
            run.plugin.dispatch(effProcessEvents, 0, 0, events);
        }
        processBlock(run.plugin, buffers, static_cast<VstInt32>(frames));
        encoded.clear();
        appendFloatStereoFrames(encoded, buffers.leftOutput(), buffers.rightOutput(), frames);
        run.output.write(encoded);
        position += frames;
        progress.update(position);
    }
}

}  // namespace

void runRender(const RenderOptions& options) {
    validateRenderOptions(options);
    StereoAudio input = loadInput(options);
    double sampleRate = input.sampleRate;
    MidiSchedule midi(loadMidi(options.midi), sampleRate);
    auto tailFrames = static_cast<std::uint64_t>(std::llround(options.tailSeconds * sampleRate));
    std::uint64_t totalFrames = input.frames() + tailFrames;
    int maxBlock = *std::max_element(options.blockSizes.begin(), options.blockSizes.end());

    // Opened first, so that an unwritable output fails before a long render.
    PendingFile output(options.output);
    output.write(floatStereoWavHeader(static_cast<std::uint32_t>(sampleRate), totalFrames));

    HostContext host;
    host.sampleRate = static_cast<float>(sampleRate);
    host.blockSize = maxBlock;
    Transport transport{options.tempo, sampleRate, options.ppqStart};
    host.timeInfo = stoppedTimeInfo(transport);
    {
        PluginInstance plugin(options.plugin, host);
        checkOutputs(plugin.effect());
        checkSetupFitsPlugin(options.setup, plugin.effect());
        plugin.dispatch(effOpen);
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        plugin.dispatch(effSetBlockSize, 0, maxBlock);
        applySetup(plugin, options.setup);
        plugin.resume();
        renderBlocks(
            {plugin, host, transport, input, totalFrames, options.blockSizes, maxBlock, midi, output});
        // The state after the render, frozen or recorded audio included.
        saveRequestedFiles(plugin, options.setup);
        plugin.suspend();
    }
    output.commit();
}

}  // namespace tramvek
