#include "hosting/midi_schedule.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>

namespace tramvek {
namespace {

constexpr std::size_t kHeaderWords = offsetof(VstEvents, events) / sizeof(VstIntPtr);
static_assert(offsetof(VstEvents, events) % sizeof(VstIntPtr) == 0, "VstEvents pointers are word aligned");

}  // namespace

MidiSchedule::MidiSchedule(const std::vector<TimedMidiMessage>& messages, double sampleRate) {
    for (const TimedMidiMessage& message : messages) {
        double frame = std::floor(message.seconds * sampleRate);
        if (frame < 0.0 || !std::isfinite(frame)) {
            continue;
        }
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        for (int i = 0; i < message.size; ++i) {
            event.midiData[i] = static_cast<char>(message.bytes[static_cast<std::size_t>(i)]);
        }
        events_.push_back(event);
        eventFrames_.push_back(static_cast<std::uint64_t>(frame));
    }
    storage_.assign(kHeaderWords + std::max<std::size_t>(events_.size(), 2), 0);
}

VstEvents* MidiSchedule::eventsForBlock(std::uint64_t start, std::size_t frames) {
    auto* record = new (storage_.data()) VstEvents{};
    auto** slots = reinterpret_cast<VstEvent**>(storage_.data() + kHeaderWords);
    VstInt32 count = 0;
    for (; next_ < events_.size() && eventFrames_[next_] < start + frames; ++next_, ++count) {
        events_[next_].deltaFrames = static_cast<VstInt32>(eventFrames_[next_] - start);
        slots[count] = reinterpret_cast<VstEvent*>(&events_[next_]);
    }
    record->numEvents = count;
    return count > 0 ? record : nullptr;
}

}  // namespace tramvek
