#include "hosting/lv2/atom_sequence.h"

#include <cmath>

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include "host_error.h"

namespace tramvek {
namespace {

// Bytes an event takes at most: its header, a position's eight properties.
constexpr std::size_t kEventBytes = 256;
constexpr double kBeatsPerBar = 4.0;
constexpr std::int32_t kBeatUnit = 4;

}  // namespace

AtomSequence::AtomSequence(UridMap& map) : map_(map) {
    lv2_atom_forge_init(&forge_, map.mapFeature());
    clear(0);
}

void AtomSequence::clear(std::size_t events, std::size_t extraBytes) {
    words_.assign(
        (sizeof(LV2_Atom_Sequence) + (events + 2) * kEventBytes + extraBytes) / sizeof(std::uint64_t), 0);
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(words_.data()),
                              words_.size() * sizeof(std::uint64_t));
    lv2_atom_forge_sequence_head(&forge_, &sequence_, 0);
}

void AtomSequence::addAtom(std::int64_t frame, const LV2_Atom& atom) {
    lv2_atom_forge_frame_time(&forge_, frame);
    lv2_atom_forge_write(&forge_, &atom, sizeof(LV2_Atom) + atom.size);
}

void AtomSequence::addMidi(std::int64_t frame, const std::uint8_t* bytes, std::uint32_t size) {
    lv2_atom_forge_frame_time(&forge_, frame);
    lv2_atom_forge_atom(&forge_, size, map_.map(LV2_MIDI__MidiEvent));
    lv2_atom_forge_write(&forge_, bytes, size);
}

void AtomSequence::addPosition(std::int64_t frame, const TransportAt& transport) {
    const double bar = std::floor(transport.quarters / kBeatsPerBar);
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge_, frame);
    lv2_atom_forge_object(&forge_, &object, 0, map_.map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__frame));
    lv2_atom_forge_long(&forge_, transport.frame);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__speed));
    lv2_atom_forge_float(&forge_, transport.playing ? 1.0f : 0.0f);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_double(&forge_, transport.tempo);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge_, kBeatUnit);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatsPerBar));
    lv2_atom_forge_double(&forge_, kBeatsPerBar);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beat));
    lv2_atom_forge_double(&forge_, transport.quarters);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__bar));
    lv2_atom_forge_long(&forge_, static_cast<std::int64_t>(bar));
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__barBeat));
    lv2_atom_forge_double(&forge_, transport.quarters - bar * kBeatsPerBar);
    lv2_atom_forge_pop(&forge_, &object);
}

AtomOutput::AtomOutput(UridMap& map, std::size_t bytes)
    : chunk_(map.map(LV2_ATOM__Chunk)), sequence_(map.map(LV2_ATOM__Sequence)), words_((bytes + 7) / 8, 0) {
    clear();
}

void AtomOutput::clear() {
    auto* atom = reinterpret_cast<LV2_Atom*>(words_.data());
    atom->size = static_cast<std::uint32_t>(words_.size() * sizeof(std::uint64_t) - sizeof(LV2_Atom));
    atom->type = chunk_;
}

const LV2_Atom_Sequence* AtomOutput::sequence() const {
    const auto* atom = reinterpret_cast<const LV2_Atom*>(words_.data());
    const bool fits =
        sizeof(LV2_Atom) + static_cast<std::size_t>(atom->size) <= words_.size() * sizeof(std::uint64_t);
    return atom->type == sequence_ && fits ? reinterpret_cast<const LV2_Atom_Sequence*>(atom) : nullptr;
}

}  // namespace tramvek
