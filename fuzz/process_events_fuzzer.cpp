// Feeds arbitrary MIDI event lists to processEvents between blocks, with the
// learn modes and targets taken from the input (targets as raw values, as
// another thread could leave them).
//
// Input: byte 0 mode flags (bit 0 controller learn, 1 pattern-note learn,
// 2 slice-note learn, 3 note-to-slice, 4 freeze); bytes 1..12 three int32
// learn targets (parameter, pattern, slice). Then 8-byte events: byte 0 the
// kind (0xFF ends the block: the events so far are delivered and a block is
// played; 0xFE a null entry; a multiple of 8 another event type; else MIDI),
// bytes 1..4 deltaFrames, bytes 5..7 the MIDI bytes.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_host.h"

namespace tramvek::fuzz {
namespace {

class EventList {
  public:
    void add(const std::uint8_t* bytes) {
        VstMidiEvent event{};
        event.type = bytes[0] % 8 == 0 ? bytes[0] : kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        std::memcpy(&event.deltaFrames, bytes + 1, 4);
        std::memcpy(event.midiData, bytes + 5, 3);
        events_.push_back(event);
        isNull_.push_back(bytes[0] == 0xFE);
    }

    void deliver(SlicerPlugin& effect) {
        const std::size_t slots = events_.size() < 2 ? 2 : events_.size();
        // Exactly as many pointers as events, so reading past them is caught.
        auto storage = std::make_unique<std::byte[]>(offsetof(VstEvents, events) + slots * sizeof(VstEvent*));
        auto* block = new (storage.get()) VstEvents{};
        block->numEvents = static_cast<VstInt32>(events_.size());
        VstEvent** list = block->events;
        for (std::size_t i = 0; i < events_.size(); ++i) {
            list[i] = isNull_[i] ? nullptr : reinterpret_cast<VstEvent*>(&events_[i]);
        }
        if (effect.processEvents(block) != 1) {
            __builtin_trap();
        }
        events_.clear();
        isNull_.clear();
    }

  private:
    std::vector<VstMidiEvent> events_;
    std::vector<bool> isNull_;
};

std::int32_t readInt32(const std::uint8_t* bytes) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}

}  // namespace
}  // namespace tramvek::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tramvek;
    using namespace tramvek::fuzz;
    if (size < 13) {
        return 0;
    }
    SlicerPlugin* effect = &FuzzHost::sharedEffect();
    const std::uint8_t mode = data[0];
    stateOf(*effect).paramMidiLearn = (mode & 1) != 0;
    stateOf(*effect).patternNoteLearn = (mode & 2) != 0;
    stateOf(*effect).sliceNoteLearn = (mode & 4) != 0;
    stateOf(*effect).noteToSliceMode = (mode & 8) != 0;
    stateOf(*effect).freeze = (mode & 16) != 0;
    stateOf(*effect).paramLearnTarget = readInt32(data + 1);
    stateOf(*effect).patternLearnTarget = readInt32(data + 5);
    stateOf(*effect).sliceLearnTarget = readInt32(data + 9);

    EventList events;
    int blocks = 0;
    for (std::size_t at = 13; at + 8 <= size && blocks < 64; at += 8) {
        if (data[at] == 0xFF) {
            events.deliver(*effect);
            FuzzHost::runBlocks(*effect, 1, 256, 0.011);
            ++blocks;
        } else {
            events.add(data + at);
        }
    }
    events.deliver(*effect);
    FuzzHost::runBlocks(*effect, 2, 256, 0.011);

    for (std::int32_t number : stateOf(*effect).paramControllers) {
        if (number < 0 || number > 127)
            __builtin_trap();
    }
    for (float value : stateOf(*effect).paramValues) {
        if (!std::isfinite(value))
            __builtin_trap();
    }
    void* saved = nullptr;
    effect->getChunk(&saved, false);
    return 0;
}
