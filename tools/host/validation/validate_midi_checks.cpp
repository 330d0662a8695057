// MIDI: bursts of hundreds of events per block, every kind of channel
// message, and bytes a careless host or a broken controller passes on (data
// bytes with the top bit set, running notes that never end).
#include <algorithm>
#include <random>
#include <vector>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"

namespace tramvek {
namespace {

// One block's events, laid out as effProcessEvents takes them. The events
// must stay valid until the next block, so each burst owns its memory.
class MidiBurst {
  public:
    void add(int deltaFrames, unsigned char status, unsigned char data1, unsigned char data2) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        events_.push_back(event);
    }

    // Events sorted by time, as hosts deliver them.
    VstEvents* events() {
        std::stable_sort(events_.begin(), events_.end(), [](const VstMidiEvent& a, const VstMidiEvent& b) {
            return a.deltaFrames < b.deltaFrames;
        });
        std::size_t pointerCount = std::max<std::size_t>(events_.size(), 2);
        storage_.assign(sizeof(VstEvents) + (pointerCount - 2) * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage_.data());
        list->numEvents = static_cast<VstInt32>(events_.size());
        for (std::size_t i = 0; i < events_.size(); ++i) {
            list->events[i] = reinterpret_cast<VstEvent*>(&events_[i]);
        }
        return list;
    }

    std::size_t size() const { return events_.size(); }

  private:
    std::vector<VstMidiEvent> events_;
    std::vector<std::uint8_t> storage_;
};

MidiBurst randomBurst(std::mt19937_64& random, int count, int frames, bool hostile) {
    MidiBurst burst;
    std::uniform_int_distribution<int> delta(0, std::max(frames - 1, 0));
    std::uniform_int_distribution<int> data(0, hostile ? 255 : 127);
    std::uniform_int_distribution<int> kind(0x8, 0xE);
    std::uniform_int_distribution<int> channel(0, 15);
    for (int i = 0; i < count; ++i) {
        int status = hostile ? std::uniform_int_distribution<int>(0, 255)(random)
                             : (kind(random) << 4) | channel(random);
        burst.add(delta(random), static_cast<unsigned char>(status), static_cast<unsigned char>(data(random)),
                  static_cast<unsigned char>(data(random)));
    }
    return burst;
}

// Every note on, every controller at every value, then every note off.
MidiBurst sweepBurst(int frames, int step) {
    MidiBurst burst;
    int last = std::max(frames - 1, 0);
    for (int note = 0; note < 128; ++note) {
        burst.add(0, 0x90, static_cast<unsigned char>(note), 127);
    }
    for (int controller = 0; controller < 128; ++controller) {
        burst.add(last / 2, static_cast<unsigned char>(0xB0 | (controller % 16)),
                  static_cast<unsigned char>(controller),
                  static_cast<unsigned char>((controller * 7 + step) % 128));
    }
    for (int note = 0; note < 128; ++note) {
        burst.add(last, 0x80, static_cast<unsigned char>(note), 0);
    }
    return burst;
}

std::string bursts(const ValidationContext& context, bool hostile) {
    std::mt19937_64 random = context.random(hostile ? "midi/hostile-bytes" : "midi/bursts");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    int blocks = context.scaled(200);
    std::size_t sent = 0;
    for (int b = 0; b < blocks; ++b) {
        int frames = std::uniform_int_distribution<int>(1, kDefaultMaxBlock)(random);
        MidiBurst burst =
            !hostile && b % 10 == 0
                ? sweepBurst(frames, b)
                : randomBurst(random, std::uniform_int_distribution<int>(0, 512)(random), frames, hostile);
        open->plugin().dispatch(effProcessEvents, 0, 0, burst.events());
        run.process(frames);
        sent += burst.size();
    }
    return std::to_string(sent) + " events in " + std::to_string(blocks) + " blocks" +
           (hostile ? " with arbitrary status and data bytes" : "");
}

}  // namespace

void runMidiChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("midi/bursts", [&] { return bursts(context, false); });
    runner.run("midi/hostile-bytes", [&] { return bursts(context, true); });
}

}  // namespace tramvek
