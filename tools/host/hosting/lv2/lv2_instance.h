// One LV2 plug-in instance as a host drives it: features, every port
// connected to a buffer of ours, control values, MIDI and transport per
// block, and the plug-in's state as a lilv state directory.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>

#include "hosting/lv2/atom_sequence.h"
#include "hosting/lv2/lv2_ports.h"
#include "hosting/lv2/lv2_world.h"
#include "hosting/lv2/urid_map.h"

namespace tramvek {

// A MIDI message at a frame of the block.
struct BlockMidi {
    std::int64_t frame = 0;
    std::uint8_t bytes[3] = {};
    std::uint32_t size = 0;
};

class Lv2Instance {
  public:
    // Throws HostError when the plug-in needs a feature this host lacks or
    // does not instantiate.
    Lv2Instance(Lv2World& world, const LilvPlugin* plugin, double sampleRate);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    const Lv2Ports& ports() const { return ports_; }
    // The map the plug-in was given: a UI of the plug-in must share it.
    UridMap& map() { return map_; }
    void setControl(std::uint32_t port, float value) { controls_[port] = value; }
    float control(std::uint32_t port) const { return controls_[port]; }

    void activate();
    void deactivate();
    // One block: `inputs` and `outputs` hold a buffer per audio input and
    // output port, in port order; the transport goes in at the block's first frame.
    void run(float* const* inputs, float* const* outputs, std::size_t frames,
             const std::vector<BlockMidi>& midi, const TransportAt& transport);

    // A message for an atom input (as a UI writes them), delivered at the
    // next block's first frame.
    void queueEvent(std::uint32_t port, const LV2_Atom& atom);
    // Each event the plug-in wrote to an atom output in the last block.
    void forEachOutputEvent(const std::function<void(std::uint32_t port, const LV2_Atom& atom)>& take) const;

    // A lilv state directory (state.ttl and the files the plug-in made).
    void saveState(const std::string& directory);
    void loadState(const std::string& directory);

  private:
    void connectEvents(const std::vector<BlockMidi>& midi, const TransportAt& transport);

    Lv2World& world_;
    const LilvPlugin* plugin_;
    UridMap map_;
    Lv2Ports ports_;
    std::vector<float> controls_;                           // by port index; control ports only
    std::vector<std::unique_ptr<AtomSequence>> sequences_;  // by port index; atom inputs only
    std::vector<std::unique_ptr<AtomOutput>> atomOutputs_;  // by port index; atom outputs only
    std::vector<std::vector<std::uint8_t>> queued_;         // by port index: whole atoms, one after another
    std::vector<LV2_Feature> features_;
    std::vector<const LV2_Feature*> featureList_;
    LilvInstance* instance_ = nullptr;
    bool active_ = false;
};

}  // namespace tramvek
