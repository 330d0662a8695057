// An atom:Sequence a host fills for one block: MIDI messages and the
// transport as a time:Position object, at their frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <lv2/atom/forge.h>

#include "hosting/lv2/urid_map.h"

namespace tramvek {

// Where the transport stands at an event's frame.
struct TransportAt {
    double quarters = 0.0;  // from the song's start
    double tempo = 120.0;   // quarter notes per minute
    std::int64_t frame = 0;
    bool playing = true;
};

class AtomSequence {
  public:
    explicit AtomSequence(UridMap& map);

    // Empties the sequence, with room for at least `events` events of up to
    // 256 bytes and `extraBytes` more.
    void clear(std::size_t events, std::size_t extraBytes = 0);
    // Any atom, as a plug-in's UI sends it.
    void addAtom(std::int64_t frame, const LV2_Atom& atom);
    void addMidi(std::int64_t frame, const std::uint8_t* bytes, std::uint32_t size);
    // In 4/4; the running beat and the bar and beat in it, all exact.
    void addPosition(std::int64_t frame, const TransportAt& transport);

    void* data() { return words_.data(); }

  private:
    UridMap& map_;
    LV2_Atom_Forge forge_;
    std::vector<std::uint64_t> words_;
    LV2_Atom_Forge_Frame sequence_{};
};

// An atom output's buffer: empty, with its whole size offered to the plug-in.
class AtomOutput {
  public:
    explicit AtomOutput(UridMap& map, std::size_t bytes = 8192);
    void clear();
    void* data() { return words_.data(); }
    // What the plug-in wrote since the last clear; null when it wrote no sequence.
    const LV2_Atom_Sequence* sequence() const;

  private:
    LV2_URID chunk_;
    LV2_URID sequence_;
    std::vector<std::uint64_t> words_;
};

}  // namespace tramvek
