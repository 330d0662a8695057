// What an LV2 plug-in's ports are, as a host needs to know them to connect
// and drive it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <lilv/lilv.h>

namespace tramvek {

enum class Lv2PortKind { AudioInput, AudioOutput, ControlInput, ControlOutput, AtomInput, AtomOutput };

struct Lv2Port {
    std::uint32_t index = 0;
    Lv2PortKind kind = Lv2PortKind::AudioInput;
    std::string symbol;
    std::string name;
    // Control ports: the range and default the description gives (NaN when it gives none).
    float minimum = 0.0f;
    float maximum = 1.0f;
    float defaultValue = 0.0f;
    bool integer = false;
    bool toggled = false;
    // Atom outputs: the buffer size the plug-in asks for (0 when it asks for none).
    std::uint32_t minimumSize = 0;
    // Atom inputs: what they take.
    bool takesMidi = false;
    bool takesPosition = false;
};

struct Lv2Ports {
    std::vector<Lv2Port> all;  // by index
    std::vector<std::uint32_t> audioInputs;
    std::vector<std::uint32_t> audioOutputs;
    std::vector<std::uint32_t> controlInputs;  // what --param numbers
    std::optional<std::uint32_t> midiInput;
    // The port that gets the transport: one that takes time:Position, by
    // preference one that takes only that.
    std::optional<std::uint32_t> positionInput;
};

// Throws HostError for a port the host cannot connect (CV, unknown types).
Lv2Ports describePorts(LilvWorld* world, const LilvPlugin* plugin);

// A normalised value (0..1) on a control port's range; whole ports take the
// whole number at or below it, toggles are on from one half.
float portValueAt(const Lv2Port& port, double normalised);

}  // namespace tramvek
