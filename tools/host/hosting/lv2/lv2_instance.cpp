#include "hosting/lv2/lv2_instance.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "host_error.h"

namespace tramvek {
namespace {

bool hostHasFeature(const char* uri) {
    static const char* const kFeatures[] = {LV2_URID__map, LV2_URID__unmap, LV2_CORE__isLive,
                                            LV2_CORE__hardRTCapable, LV2_CORE__inPlaceBroken};
    return std::any_of(std::begin(kFeatures), std::end(kFeatures),
                       [uri](const char* feature) { return std::strcmp(uri, feature) == 0; });
}

void checkRequiredFeatures(const LilvPlugin* plugin) {
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    std::string missing;
    LILV_FOREACH(nodes, i, required) {
        const char* uri = lilv_node_as_uri(lilv_nodes_get(required, i));
        if (!hostHasFeature(uri)) {
            missing += std::string(missing.empty() ? "" : ", ") + uri;
        }
    }
    lilv_nodes_free(required);
    if (!missing.empty()) {
        throw HostError("the LV2 plug-in needs features this host lacks: " + missing);
    }
}

const char* kStateFile = "state.ttl";
// What an atom output gets at least, whatever the plug-in asks for.
constexpr std::size_t kAtomOutputBytes = 8192;

// The atoms stored one after another in `bytes`, each padded to 64 bits.
template <typename Take>
void forEachAtom(const std::vector<std::uint8_t>& bytes, Take take) {
    for (std::size_t at = 0; at + sizeof(LV2_Atom) <= bytes.size();) {
        const auto* atom = reinterpret_cast<const LV2_Atom*>(bytes.data() + at);
        take(*atom);
        at += lv2_atom_pad_size(static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom->size));
    }
}

}  // namespace

Lv2Instance::Lv2Instance(Lv2World& world, const LilvPlugin* plugin, double sampleRate)
    : world_(world), plugin_(plugin), ports_(describePorts(world.get(), plugin)) {
    checkRequiredFeatures(plugin);
    controls_.assign(ports_.all.size(), 0.0f);
    sequences_.resize(ports_.all.size());
    atomOutputs_.resize(ports_.all.size());
    queued_.resize(ports_.all.size());
    for (const Lv2Port& port : ports_.all) {
        if (port.kind == Lv2PortKind::ControlInput) {
            controls_[port.index] = port.defaultValue;
        } else if (port.kind == Lv2PortKind::AtomInput) {
            sequences_[port.index] = std::make_unique<AtomSequence>(map_);
        } else if (port.kind == Lv2PortKind::AtomOutput) {
            atomOutputs_[port.index] =
                std::make_unique<AtomOutput>(map_, std::max<std::size_t>(kAtomOutputBytes, port.minimumSize));
        }
    }
    features_ = {{LV2_URID__map, map_.mapFeature()}, {LV2_URID__unmap, map_.unmapFeature()}};
    for (const LV2_Feature& feature : features_) {
        featureList_.push_back(&feature);
    }
    featureList_.push_back(nullptr);
    instance_ = lilv_plugin_instantiate(plugin, sampleRate, featureList_.data());
    if (instance_ == nullptr) {
        throw HostError("the LV2 plug-in did not instantiate");
    }
    for (const Lv2Port& port : ports_.all) {
        if (port.kind == Lv2PortKind::ControlInput || port.kind == Lv2PortKind::ControlOutput) {
            lilv_instance_connect_port(instance_, port.index, &controls_[port.index]);
        }
    }
}

Lv2Instance::~Lv2Instance() {
    if (active_) {
        lilv_instance_deactivate(instance_);
    }
    lilv_instance_free(instance_);
}

void Lv2Instance::activate() {
    lilv_instance_activate(instance_);
    active_ = true;
}

void Lv2Instance::deactivate() {
    lilv_instance_deactivate(instance_);
    active_ = false;
}

void Lv2Instance::connectEvents(const std::vector<BlockMidi>& midi, const TransportAt& transport) {
    for (std::uint32_t index = 0; index < sequences_.size(); ++index) {
        if (AtomOutput* output = atomOutputs_[index].get()) {
            output->clear();
            lilv_instance_connect_port(instance_, index, output->data());
        }
        AtomSequence* sequence = sequences_[index].get();
        if (sequence == nullptr) {
            continue;
        }
        std::vector<std::uint8_t>& queued = queued_[index];
        sequence->clear(midi.size(), queued.size() * 2);
        if (ports_.positionInput == index) {
            sequence->addPosition(0, transport);
        }
        forEachAtom(queued, [sequence](const LV2_Atom& atom) { sequence->addAtom(0, atom); });
        queued.clear();
        if (ports_.midiInput == index) {
            for (const BlockMidi& message : midi) {
                sequence->addMidi(message.frame, message.bytes, message.size);
            }
        }
        lilv_instance_connect_port(instance_, index, sequence->data());
    }
}

void Lv2Instance::run(float* const* inputs, float* const* outputs, std::size_t frames,
                      const std::vector<BlockMidi>& midi, const TransportAt& transport) {
    for (std::size_t i = 0; i < ports_.audioInputs.size(); ++i) {
        lilv_instance_connect_port(instance_, ports_.audioInputs[i], inputs[i]);
    }
    for (std::size_t i = 0; i < ports_.audioOutputs.size(); ++i) {
        lilv_instance_connect_port(instance_, ports_.audioOutputs[i], outputs[i]);
    }
    connectEvents(midi, transport);
    lilv_instance_run(instance_, static_cast<std::uint32_t>(frames));
}

void Lv2Instance::queueEvent(std::uint32_t port, const LV2_Atom& atom) {
    if (port >= queued_.size() || ports_.all[port].kind != Lv2PortKind::AtomInput) {
        throw HostError("LV2 port " + std::to_string(port) + " takes no events");
    }
    std::vector<std::uint8_t>& queued = queued_[port];
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&atom);
    queued.insert(queued.end(), bytes, bytes + sizeof(LV2_Atom) + atom.size);
    queued.resize(lv2_atom_pad_size(static_cast<std::uint32_t>(queued.size())));
}

void Lv2Instance::forEachOutputEvent(
    const std::function<void(std::uint32_t port, const LV2_Atom& atom)>& take) const {
    for (std::uint32_t index = 0; index < atomOutputs_.size(); ++index) {
        const AtomOutput* output = atomOutputs_[index].get();
        const LV2_Atom_Sequence* sequence = output != nullptr ? output->sequence() : nullptr;
        if (sequence == nullptr) {
            continue;
        }
        LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
            take(index, event->body);
        }
    }
}

void Lv2Instance::saveState(const std::string& directory) {
    const auto portValue = [](const char* symbol, void* user, std::uint32_t* size,
                              std::uint32_t* type) -> const void* {
        auto* self = static_cast<Lv2Instance*>(user);
        for (const Lv2Port& port : self->ports_.all) {
            if (port.kind == Lv2PortKind::ControlInput && port.symbol == symbol) {
                *size = sizeof(float);
                *type = self->map_.map(LV2_ATOM__Float);
                return &self->controls_[port.index];
            }
        }
        *size = 0;
        *type = 0;
        return nullptr;
    };
    std::filesystem::create_directories(directory);
    LilvState* state = lilv_state_new_from_instance(
        plugin_, instance_, map_.mapFeature(), nullptr, directory.c_str(), directory.c_str(),
        directory.c_str(), portValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, featureList_.data());
    const int failed = state == nullptr
                           ? 1
                           : lilv_state_save(world_.get(), map_.mapFeature(), map_.unmapFeature(), state,
                                             nullptr, directory.c_str(), kStateFile);
    lilv_state_free(state);
    if (failed != 0) {
        throw HostError("could not save the LV2 state into " + directory);
    }
}

void Lv2Instance::loadState(const std::string& directory) {
    const std::string path = directory + "/" + kStateFile;
    LilvState* state = lilv_state_new_from_file(world_.get(), map_.mapFeature(), nullptr, path.c_str());
    if (state == nullptr) {
        throw HostError("no LV2 state in " + path);
    }
    const auto setPortValue = [](const char* symbol, void* user, const void* value, std::uint32_t size,
                                 std::uint32_t type) {
        auto* self = static_cast<Lv2Instance*>(user);
        if (size != sizeof(float) || type != self->map_.map(LV2_ATOM__Float)) {
            return;
        }
        for (const Lv2Port& port : self->ports_.all) {
            if (port.kind == Lv2PortKind::ControlInput && port.symbol == symbol) {
                std::memcpy(&self->controls_[port.index], value, sizeof(float));
            }
        }
    };
    lilv_state_restore(state, instance_, setPortValue, this, 0, featureList_.data());
    lilv_state_free(state);
}

}  // namespace tramvek
