// A host-style VstEvents block with as many event pointers as events, built
// the way hosts allocate it (the declaration shows only two entries).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/vst2.h"

namespace tramvek::testing {

class EventBlock {
  public:
    EventBlock& midi(int status, int data1, int data2, VstInt32 deltaFrames = 0,
                     VstInt32 type = kVstMidiType) {
        VstMidiEvent event{};
        event.type = type;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        events_.push_back(event);
        return *this;
    }
    EventBlock& noteOn(int note, int velocity, VstInt32 deltaFrames = 0) {
        return midi(0x90, note, velocity, deltaFrames);
    }
    EventBlock& controller(int number, int value) { return midi(0xB0, number, value); }

    VstEvents* get() {
        const std::size_t slots = events_.size() < 2 ? 2 : events_.size();
        storage_ = std::make_unique<std::byte[]>(offsetof(VstEvents, events) + slots * sizeof(VstEvent*));
        auto* block = new (storage_.get()) VstEvents{};
        block->numEvents = static_cast<VstInt32>(events_.size());
        VstEvent** list = block->events;
        for (std::size_t i = 0; i < events_.size(); ++i) {
            list[i] = reinterpret_cast<VstEvent*>(&events_[i]);
        }
        return block;
    }

  private:
    std::vector<VstMidiEvent> events_;
    std::unique_ptr<std::byte[]> storage_;
};

}  // namespace tramvek::testing
