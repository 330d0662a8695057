#include "cli/state_command.h"

#include "audio_file/resample.h"
#include "audio_file/wav_reader.h"
#include "formats/file_io.h"
#include "formats/frozen_audio_chunk.h"
#include "formats/fx_plugin_state.h"
#include "formats/variation_lanes.h"
#include "formats/wav_codec.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

// The rate and tempo of the state's song: a frozen buffer is a pattern at these.
constexpr double kStateSampleRate = 44100.0;
constexpr double kStateTempo = 120.0;
constexpr VstInt32 kStateBlockSize = 512;

void printCurrentState(PluginInstance& plugin, std::ostream& out) {
    AEffect& effect = plugin.effect();
    out << "program " << plugin.dispatch(effGetProgram) << " \"" << plugin.text(effGetProgramName) << "\"\n";
    for (VstInt32 i = 0; i < effect.numParams; ++i) {
        out << "  " << i << ": " << plugin.text(effGetParamName, i) << " = "
            << effect.getParameter(&effect, i) << " (\"" << plugin.text(effGetParamDisplay, i) << "\")\n";
    }
}

// A tramvek bank's Chance and Repeat of the current pattern, one column a step.
void printVariation(PluginInstance& plugin, std::ostream& out) {
    const std::optional<PatternVariation> shown = plugin.hasFlag(effFlagsProgramChunks)
                                                      ? readPatternVariation(captureBank(plugin).chunk)
                                                      : std::nullopt;
    if (!shown) {
        return;
    }
    out << "bank " << shown->bank << " pattern " << shown->pattern << ", variation seed " << shown->seed
        << "\n  chance %:";
    for (const float chance : shown->chancePercent) {
        out << " " << chance;
    }
    out << "\n  repeat:";
    for (const std::int32_t hits : shown->repeats) {
        out << " " << hits;
    }
    out << "\n";
}

// Read as a drop on the editor reads it, so that both freeze the same samples.
StereoAudio readAudioToFreeze(const std::string& path) {
    AudioFileReading reading = readWavFile(path);
    if (!reading.ok()) {
        throw HostError("cannot read audio to freeze " + path + ": " + reading.reason);
    }
    return std::move(reading.audio);
}

// The frozen buffer travels in the bank chunk; the pattern's length comes from
// a block the plug-in processes in place.
void checkFrozenBufferReach(const PluginInstance& plugin) {
    if (!plugin.hasFlag(effFlagsProgramChunks) || !plugin.hasFlag(effFlagsCanReplacing)) {
        throw HostError("the frozen buffer needs a plug-in with bank chunks and in-place processing");
    }
}

// The engine sets the pattern's length in samples from the host's rate and
// tempo when a step starts: one silent block from the song's start starts one.
void playOneSilentBlock(PluginInstance& plugin, HostContext& host, const Transport& transport) {
    AEffect& effect = plugin.effect();
    BlockBuffers buffers(effect.numInputs, effect.numOutputs, kStateBlockSize);
    buffers.prepare(StereoAudio{}, 0, kStateBlockSize);
    host.timeInfo = playingTimeInfo(transport, 0.0);
    plugin.resume();
    effect.processReplacing(&effect, buffers.inputs(), buffers.outputs(), kStateBlockSize);
    plugin.suspend();
    host.timeInfo = stoppedTimeInfo(transport);
}

void freezeAudio(PluginInstance& plugin, HostContext& host, const Transport& transport,
                 const StereoAudio& audio) {
    checkFrozenBufferReach(plugin);
    playOneSilentBlock(plugin, host, transport);
    FxBank bank = captureBank(plugin);
    writeFrozenAudio(bank.chunk, resampled(audio, transport.sampleRate, frozenPatternSamples(bank.chunk)));
    applyBank(plugin, bank);
}

void exportFrozenAudio(PluginInstance& plugin, double sampleRate, const std::string& path) {
    checkFrozenBufferReach(plugin);
    FxBank bank = captureBank(plugin);
    StereoAudio audio = readFrozenAudio(bank.chunk, sampleRate);
    std::vector<std::uint8_t> file =
        floatStereoWavHeader(static_cast<std::uint32_t>(sampleRate), audio.frames());
    appendFloatStereoFrames(file, audio.left.data(), audio.right.data(), audio.frames());
    writeWholeFile(path, file);
}

}  // namespace

void runState(const StateOptions& options, std::ostream& out) {
    // Read first: a file that cannot be frozen leaves nothing written.
    const StereoAudio toFreeze =
        options.freezeAudio.empty() ? StereoAudio{} : readAudioToFreeze(options.freezeAudio);
    const auto rate = static_cast<float>(kStateSampleRate);
    const Transport transport{kStateTempo, kStateSampleRate, 0.0};
    HostContext host;
    host.sampleRate = rate;
    host.blockSize = kStateBlockSize;
    host.timeInfo = stoppedTimeInfo(transport);
    PluginInstance plugin(options.plugin, host);
    checkSetupFitsPlugin(options.setup, plugin.effect());
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    plugin.dispatch(effSetBlockSize, 0, kStateBlockSize);
    applySetup(plugin, options.setup);
    if (!options.freezeAudio.empty()) {
        freezeAudio(plugin, host, transport, toFreeze);
    }
    // Before the saves: a bank without frozen audio fails the command whole.
    if (!options.exportFrozen.empty()) {
        exportFrozenAudio(plugin, kStateSampleRate, options.exportFrozen);
    }
    saveRequestedFiles(plugin, options.setup);
    printCurrentState(plugin, out);
    printVariation(plugin, out);
}

}  // namespace tramvek
