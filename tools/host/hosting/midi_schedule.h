// MIDI messages handed to a plug-in block by block: each message goes out in
// the block holding frame floor(seconds * sample rate), at deltaFrames = that
// frame minus the block's first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/midi_file.h"
#include "host/vst2.h"

namespace tramvek {

class MidiSchedule {
  public:
    MidiSchedule(const std::vector<TimedMidiMessage>& messages, double sampleRate);

    // The events of the block [start, start + frames), or null when it has
    // none. Blocks must come in order, without gaps, from frame 0; the record
    // stays valid until the next call.
    VstEvents* eventsForBlock(std::uint64_t start, std::size_t frames);

  private:
    std::vector<VstMidiEvent> events_;
    std::vector<std::uint64_t> eventFrames_;
    std::size_t next_ = 0;
    // A VstEvents record with room for every pointer a block may need; the
    // interface declares two, hosts allocate as many as they send.
    std::vector<VstIntPtr> storage_;
};

}  // namespace tramvek
