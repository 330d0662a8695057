#include "cli/render_lv2.h"

#include <string>

#include "host_error.h"
#include "hosting/lv2/lv2_instance.h"
#include "hosting/lv2/lv2_world.h"
#include "hosting/midi_schedule.h"
#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

void checkSetupFitsLv2(const PluginSetup& setup, const Lv2Ports& ports) {
    if (setup.program || !setup.preset.empty() || !setup.bank.empty() || !setup.savePreset.empty() ||
        !setup.saveBank.empty() || !setup.stepSheet.empty()) {
        throw HostError(
            "LV2 plug-ins have no VST 2 programs, presets, banks or step sheets; use --lv2-state and "
            "--save-lv2-state");
    }
    if (ports.audioOutputs.empty()) {
        throw HostError("the plug-in has no audio outputs");
    }
    for (const ParameterSetting& setting : setup.parameters) {
        if (static_cast<std::size_t>(setting.index) >= ports.controlInputs.size()) {
            throw HostError("--param index " + std::to_string(setting.index) +
                            " is out of range: the plug-in has " +
                            std::to_string(ports.controlInputs.size()) + " control inputs");
        }
    }
}

// Channel messages only, as the MIDI file reader gives them.
std::uint32_t messageSize(char status) {
    const int kind = static_cast<std::uint8_t>(status) & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

// The block's MIDI as the VST 2 render schedules it, at the same frames.
void takeBlockMidi(const VstEvents* events, std::vector<BlockMidi>& out) {
    out.clear();
    // Index through a plain pointer: the record holds as many as it counts.
    VstEvent* const* list = events != nullptr ? events->events : nullptr;
    for (VstInt32 i = 0; list != nullptr && i < events->numEvents; ++i) {
        const auto* event = reinterpret_cast<const VstMidiEvent*>(list[i]);
        BlockMidi midi;
        midi.frame = event->deltaFrames;
        midi.size = messageSize(event->midiData[0]);
        for (std::uint32_t b = 0; b < midi.size; ++b) {
            midi.bytes[b] = static_cast<std::uint8_t>(event->midiData[b]);
        }
        out.push_back(midi);
    }
}

}  // namespace

void renderLv2(const RenderJob& job) {
    const RenderOptions& options = job.options;
    Lv2World world;
    Lv2Instance plugin(world, world.findPlugin(options.plugin), job.sampleRate);
    const Lv2Ports& ports = plugin.ports();
    checkSetupFitsLv2(options.setup, ports);
    if (!options.lv2State.empty()) {
        plugin.loadState(options.lv2State);
    }
    for (const ParameterSetting& setting : options.setup.parameters) {
        const std::uint32_t port = ports.controlInputs[static_cast<std::size_t>(setting.index)];
        plugin.setControl(port, portValueAt(ports.all[port], setting.value));
    }
    MidiSchedule midi(job.midi, job.sampleRate);
    std::vector<BlockMidi> blockMidi;
    const Transport transport{options.tempo, job.sampleRate, options.ppqStart};
    BlockBuffers buffers(static_cast<int>(ports.audioInputs.size()),
                         static_cast<int>(ports.audioOutputs.size()), static_cast<std::size_t>(job.maxBlock));
    plugin.activate();
    streamBlocks(job, buffers, [&](std::uint64_t position, std::size_t frames) {
        const auto at = static_cast<double>(position);
        const TransportAt now{ppqPositionAt(transport, at), options.tempo,
                              static_cast<std::int64_t>(position), true};
        takeBlockMidi(midi.eventsForBlock(position, frames), blockMidi);
        plugin.run(buffers.inputs(), buffers.outputs(), frames, blockMidi, now);
    });
    // The state after the render, recorded audio included.
    if (!options.saveLv2State.empty()) {
        plugin.saveState(options.saveLv2State);
    }
    plugin.deactivate();
}

}  // namespace tramvek
