// The host's transport as its time:Position objects tell it: the latest one,
// run on by the frames since, as the engine's TransportPosition at a block's
// first frame. Audio thread only.
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>

#include "engine/transport_position.h"
#include "plugin/lv2/lv2_uris.h"

namespace tramvek::lv2 {

class HostTransport {
  public:
    explicit HostTransport(double sampleRate) : sampleRate_(sampleRate) {}

    // Properties the object leaves out keep their last values.
    void read(const LV2_Atom_Object& position, const Uris& uris);
    // Null until the host has told its position (the engine's clock then runs alone).
    const TransportPosition* position();
    void advance(std::uint32_t frames) { elapsed_ += frames; }

  private:
    double sampleRate_;
    bool known_ = false;
    // Quarter notes at the latest object's frame.
    double anchorQuarters_ = 0.0;
    std::uint64_t elapsed_ = 0;
    double beatsPerMinute_ = 120.0;
    double beatsPerBar_ = 4.0;
    double beatUnit_ = 4.0;
    double speed_ = 0.0;
    TransportPosition position_;
};

}  // namespace tramvek::lv2
