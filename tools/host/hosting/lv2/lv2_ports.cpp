#include "hosting/lv2/lv2_ports.h"

#include <algorithm>
#include <cmath>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/port-props/port-props.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/time/time.h>

#include "host_error.h"
#include "hosting/lv2/lv2_world.h"

namespace tramvek {
namespace {

struct PortClasses {
    explicit PortClasses(LilvWorld* world)
        : input(lilv_new_uri(world, LV2_CORE__InputPort)),
          output(lilv_new_uri(world, LV2_CORE__OutputPort)),
          audio(lilv_new_uri(world, LV2_CORE__AudioPort)),
          control(lilv_new_uri(world, LV2_CORE__ControlPort)),
          atom(lilv_new_uri(world, LV2_ATOM__AtomPort)),
          optional(lilv_new_uri(world, LV2_CORE__connectionOptional)),
          integer(lilv_new_uri(world, LV2_CORE__integer)),
          toggled(lilv_new_uri(world, LV2_CORE__toggled)),
          midi(lilv_new_uri(world, LV2_MIDI__MidiEvent)),
          position(lilv_new_uri(world, LV2_TIME__Position)),
          supports(lilv_new_uri(world, LV2_ATOM__supports)),
          minimumSize(lilv_new_uri(world, LV2_RESIZE_PORT__minimumSize)) {}
    LilvValue input, output, audio, control, atom, optional, integer, toggled, midi, position, supports,
        minimumSize;
};

Lv2PortKind kindOf(const LilvPlugin* plugin, const LilvPort* port, const PortClasses& c,
                   std::uint32_t index) {
    const bool in = lilv_port_is_a(plugin, port, c.input.get());
    const bool out = lilv_port_is_a(plugin, port, c.output.get());
    if (in == out) {
        throw HostError("LV2 port " + std::to_string(index) + " is neither an input nor an output");
    }
    if (lilv_port_is_a(plugin, port, c.audio.get())) {
        return in ? Lv2PortKind::AudioInput : Lv2PortKind::AudioOutput;
    }
    if (lilv_port_is_a(plugin, port, c.control.get())) {
        return in ? Lv2PortKind::ControlInput : Lv2PortKind::ControlOutput;
    }
    if (lilv_port_is_a(plugin, port, c.atom.get())) {
        return in ? Lv2PortKind::AtomInput : Lv2PortKind::AtomOutput;
    }
    throw HostError("LV2 port " + std::to_string(index) + " has a type this host cannot connect");
}

float floatOr(const LilvNode* node, float fallback) {
    return node != nullptr && lilv_node_is_float(node) ? lilv_node_as_float(node)
           : node != nullptr && lilv_node_is_int(node) ? static_cast<float>(lilv_node_as_int(node))
                                                       : fallback;
}

void readRange(const LilvPlugin* plugin, const LilvPort* lilvPort, Lv2Port& port) {
    LilvNode* def = nullptr;
    LilvNode* min = nullptr;
    LilvNode* max = nullptr;
    lilv_port_get_range(plugin, lilvPort, &def, &min, &max);
    port.minimum = floatOr(min, 0.0f);
    port.maximum = floatOr(max, 1.0f);
    port.defaultValue = floatOr(def, port.minimum);
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
}

std::size_t supportedTypes(const LilvPlugin* plugin, const LilvPort* port, const PortClasses& c) {
    LilvNodes* types = lilv_port_get_value(plugin, port, c.supports.get());
    const std::size_t count = types != nullptr ? lilv_nodes_size(types) : 0;
    lilv_nodes_free(types);
    return count;
}

}  // namespace

Lv2Ports describePorts(LilvWorld* world, const LilvPlugin* plugin) {
    const PortClasses c(world);
    Lv2Ports ports;
    bool positionOnly = false;
    const std::uint32_t count = lilv_plugin_get_num_ports(plugin);
    for (std::uint32_t index = 0; index < count; ++index) {
        const LilvPort* lilvPort = lilv_plugin_get_port_by_index(plugin, index);
        Lv2Port port;
        port.index = index;
        port.kind = kindOf(plugin, lilvPort, c, index);
        port.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, lilvPort));
        LilvNode* name = lilv_port_get_name(plugin, lilvPort);
        port.name = name != nullptr ? lilv_node_as_string(name) : port.symbol;
        lilv_node_free(name);
        switch (port.kind) {
            case Lv2PortKind::AudioInput:
                ports.audioInputs.push_back(index);
                break;
            case Lv2PortKind::AudioOutput:
                ports.audioOutputs.push_back(index);
                break;
            case Lv2PortKind::ControlInput:
                readRange(plugin, lilvPort, port);
                port.integer = lilv_port_has_property(plugin, lilvPort, c.integer.get());
                port.toggled = lilv_port_has_property(plugin, lilvPort, c.toggled.get());
                ports.controlInputs.push_back(index);
                break;
            case Lv2PortKind::ControlOutput:
                break;
            case Lv2PortKind::AtomOutput: {
                LilvNodes* sizes = lilv_port_get_value(plugin, lilvPort, c.minimumSize.get());
                const LilvNode* size = sizes != nullptr ? lilv_nodes_get_first(sizes) : nullptr;
                port.minimumSize = size != nullptr && lilv_node_is_int(size)
                                       ? static_cast<std::uint32_t>(std::max(0, lilv_node_as_int(size)))
                                       : 0;
                lilv_nodes_free(sizes);
                break;
            }
            case Lv2PortKind::AtomInput: {
                port.takesMidi = lilv_port_supports_event(plugin, lilvPort, c.midi.get());
                port.takesPosition = lilv_port_supports_event(plugin, lilvPort, c.position.get());
                if (port.takesMidi && !ports.midiInput) {
                    ports.midiInput = index;
                }
                const bool only = port.takesPosition && supportedTypes(plugin, lilvPort, c) == 1;
                if (port.takesPosition && (!ports.positionInput || (only && !positionOnly))) {
                    ports.positionInput = index;
                    positionOnly = only;
                }
                break;
            }
        }
        ports.all.push_back(port);
    }
    return ports;
}

float portValueAt(const Lv2Port& port, double normalised) {
    const double value = port.minimum + normalised * (static_cast<double>(port.maximum) - port.minimum);
    if (port.toggled) {
        return normalised >= 0.5 ? port.maximum : port.minimum;
    }
    if (port.integer) {
        return static_cast<float>(std::clamp(std::floor(value), static_cast<double>(port.minimum),
                                             static_cast<double>(port.maximum)));
    }
    return static_cast<float>(value);
}

}  // namespace tramvek
