#include "cli/snapshot_lv2.h"

#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <iostream>

#include "formats/demo_loop.h"
#include "formats/file_io.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/lv2/lv2_instance.h"
#include "hosting/lv2/lv2_ui.h"
#include "hosting/lv2/lv2_world.h"
#include "hosting/transport_clock.h"
#include "window/editor_window.h"

namespace tramvek {
namespace {

constexpr std::uint32_t kFloatProtocol = 0;
const Transport kDemoTransport{kSnapshotTempo, kSnapshotSampleRate, 0.0};

TransportAt playingAt(std::uint64_t position) {
    return TransportAt{ppqPositionAt(kDemoTransport, static_cast<double>(position)), kSnapshotTempo,
                       static_cast<std::int64_t>(position), true};
}

// Plays the demo loop (repeated as needed) through the plug-in for `seconds`,
// in the blocks the VST 2 snapshot plays; returns the frames played.
std::uint64_t playDemo(Lv2Instance& plugin, BlockBuffers& buffers, double seconds) {
    const StereoAudio loop = synthesizeDemoLoop(kSnapshotTempo, kSnapshotSampleRate);
    const auto total = static_cast<std::uint64_t>(std::llround(seconds * kSnapshotSampleRate));
    for (std::uint64_t position = 0; position < total; position += kSnapshotBlockSize) {
        const auto frames =
            static_cast<std::size_t>(std::min<std::uint64_t>(kSnapshotBlockSize, total - position));
        buffers.prepare(loop, position % loop.frames(), frames);
        plugin.run(buffers.inputs(), buffers.outputs(), frames, {}, playingAt(position));
    }
    return total;
}

bool isControlInput(const Lv2Instance& plugin, std::uint32_t port) {
    return port < plugin.ports().all.size() && plugin.ports().all[port].kind == Lv2PortKind::ControlInput;
}

// What the UI writes goes to the plug-in's ports; with `log`, each write of a
// control value and each touch is printed as it happens.
Lv2UiListener portsListener(Lv2Instance& plugin, EditorWindow& window, bool log) {
    const LV2_URID eventTransfer = plugin.map().map(LV2_ATOM__eventTransfer);
    Lv2UiListener listener;
    listener.write = [&plugin, eventTransfer, log](std::uint32_t port, std::uint32_t protocol,
                                                   const void* buffer, std::uint32_t size) {
        if (protocol == kFloatProtocol && size == sizeof(float) && isControlInput(plugin, port)) {
            float value = 0.0f;
            std::memcpy(&value, buffer, sizeof value);
            plugin.setControl(port, value);
            if (log) {
                std::cout << "write " << port << " " << value << std::endl;
            }
        } else if (protocol == eventTransfer && size >= sizeof(LV2_Atom) &&
                   sizeof(LV2_Atom) + static_cast<const LV2_Atom*>(buffer)->size <= size) {
            plugin.queueEvent(port, *static_cast<const LV2_Atom*>(buffer));
        }
    };
    listener.touch = [log](std::uint32_t port, bool grabbed) {
        if (log) {
            std::cout << "touch " << port << (grabbed ? " begin" : " end") << std::endl;
        }
    };
    listener.resize = [&window](int width, int height) { window.resize(width, height); };
    return listener;
}

}  // namespace

void runLv2Snapshot(const SnapshotOptions& options) {
    Lv2World world;
    const LilvPlugin* description = world.findPlugin(options.plugin);
    Lv2Instance plugin(world, description, kSnapshotSampleRate);
    // Opened first, so that an unwritable output fails before any work.
    PendingFile output(options.output);
    if (!options.state.empty()) {
        plugin.loadState(options.state);
    }
    plugin.activate();
    const Lv2Ports& ports = plugin.ports();
    BlockBuffers buffers(static_cast<int>(ports.audioInputs.size()),
                         static_cast<int>(ports.audioOutputs.size()), kSnapshotBlockSize);
    const std::uint64_t played = playDemo(plugin, buffers, options.renderFirstSeconds);

    EditorWindow window(1, 1, "tramvek-host snapshot");
    Lv2Ui ui(world.get(), description, plugin.map(), window.handle(),
             portsListener(plugin, window, options.holdMilliseconds > 0));
    for (const std::uint32_t port : ports.controlInputs) {
        const float value = plugin.control(port);
        ui.portEvent(port, sizeof value, kFloatProtocol, &value);
    }
    // Between idles, an empty block takes the UI's messages to the plug-in and
    // brings its answers back: the plug-in sees no more audio than the VST 2
    // snapshot's does.
    const LV2_URID eventTransfer = plugin.map().map(LV2_ATOM__eventTransfer);
    const auto exchange = [&] {
        plugin.run(buffers.inputs(), buffers.outputs(), 0, {}, playingAt(played));
        plugin.forEachOutputEvent([&](std::uint32_t port, const LV2_Atom& atom) {
            ui.portEvent(port, static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom.size), eventTransfer,
                         &atom);
        });
        ui.idle();
    };
    window.run(kSnapshotSettleMilliseconds, exchange);
    if (options.holdMilliseconds > 0) {
        int x = 0;
        int y = 0;
        window.clientOrigin(x, y);
        std::cout << "ready " << x << " " << y << std::endl;
        window.run(options.holdMilliseconds, exchange);
    }
    output.write(encodePng(window.capture()));
    output.commit();
    plugin.deactivate();
}

}  // namespace tramvek
