// Standard MIDI files and their delivery: running status, the tempo map
// across tracks, SMPTE time, rejection of what cannot be read, and the frame
// each message reaches the plug-in at.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formats/midi_file.h"
#include "host_error.h"
#include "hosting/midi_schedule.h"

namespace tramvek {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes quantity(std::uint32_t value) {
    Bytes out = {static_cast<std::uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) {
        out.insert(out.begin(), static_cast<std::uint8_t>((value & 0x7F) | 0x80));
    }
    return out;
}

Bytes be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// Track events as (delta, bytes...) written one after the other.
struct Track {
    Bytes body;
    Track& at(std::uint32_t delta, Bytes event) {
        Bytes d = quantity(delta);
        body.insert(body.end(), d.begin(), d.end());
        body.insert(body.end(), event.begin(), event.end());
        return *this;
    }
    Track& tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
        return at(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                          static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                          static_cast<std::uint8_t>(microsecondsPerQuarter)});
    }
    Track& end() { return at(0, {0xFF, 0x2F, 0x00}); }
};

Bytes midiFile(std::uint16_t format, std::uint16_t division, const std::vector<Track>& tracks) {
    Bytes out = {'M',
                 'T',
                 'h',
                 'd',
                 0,
                 0,
                 0,
                 6,
                 0,
                 static_cast<std::uint8_t>(format),
                 0,
                 static_cast<std::uint8_t>(tracks.size()),
                 static_cast<std::uint8_t>(division >> 8),
                 static_cast<std::uint8_t>(division)};
    for (const Track& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        Bytes length = be32(static_cast<std::uint32_t>(track.body.size()));
        out.insert(out.end(), length.begin(), length.end());
        out.insert(out.end(), track.body.begin(), track.body.end());
    }
    return out;
}

TEST(MidiFile, TypeZeroWithRunningStatusAndTheDefaultTempo) {
    Track track;
    track.at(0, {0x90, 60, 100}).at(96, {62, 90}).at(96, {0xC3, 5}).at(48, {7}).at(0, {0x80, 60, 0}).end();
    std::vector<TimedMidiMessage> messages = parseMidiFile(midiFile(0, 96, {track}));
    ASSERT_EQ(messages.size(), 5u);
    // 120 BPM by default: a quarter of 96 ticks is half a second.
    EXPECT_DOUBLE_EQ(messages[0].seconds, 0.0);
    EXPECT_DOUBLE_EQ(messages[1].seconds, 0.5);
    EXPECT_EQ(messages[1].bytes, (std::array<std::uint8_t, 3>{0x90, 62, 90}));
    EXPECT_EQ(messages[2].size, 2);
    EXPECT_DOUBLE_EQ(messages[3].seconds, 1.25);
    EXPECT_EQ(messages[3].bytes[0], 0xC3);  // program change running on
    EXPECT_EQ(messages[3].bytes[1], 7);
    EXPECT_EQ(messages[4].bytes, (std::array<std::uint8_t, 3>{0x80, 60, 0}));
}

TEST(MidiFile, TempoChangesInTheFirstTrackTimeTheOtherTracks) {
    Track conductor;
    conductor.tempo(0, 1000000).tempo(96, 250000).end();  // 60 BPM, then 240 BPM after one quarter
    Track notes;
    notes.at(48, {0x90, 60, 1}).at(48, {0x90, 61, 1}).at(96, {0x90, 62, 1}).at(0, {0x91, 63, 1}).end();
    std::vector<TimedMidiMessage> messages = parseMidiFile(midiFile(1, 96, {conductor, notes}));
    ASSERT_EQ(messages.size(), 4u);
    // Exact, not merely close: a time on a sample boundary must not fall one
    // frame early when the host floors it.
    EXPECT_EQ(messages[0].seconds, 0.5);
    EXPECT_EQ(messages[1].seconds, 1.0);
    EXPECT_EQ(messages[2].seconds, 1.25);
    EXPECT_EQ(messages[3].seconds, 1.25);
    EXPECT_EQ(messages[3].bytes[0], 0x91);
}

TEST(MidiFile, SimultaneousEventsKeepTrackOrderAndSysExCancelsRunningStatus) {
    Track first;
    first.at(10, {0xB0, 7, 100}).end();
    Track second;
    second.at(10, {0x90, 60, 100}).at(0, {0xF0, 0x02, 0x7E, 0xF7}).at(0, {61, 100}).end();
    EXPECT_THROW(parseMidiFile(midiFile(1, 96, {first, second})), HostError);

    Track third;
    third.at(10, {0x90, 60, 100}).at(0, {0xFF, 0x01, 0x02, 'h', 'i'}).at(0, {0x90, 61, 100}).end();
    std::vector<TimedMidiMessage> messages = parseMidiFile(midiFile(1, 96, {third, first}));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].bytes[1], 60);
    EXPECT_EQ(messages[1].bytes[1], 61);
    EXPECT_EQ(messages[2].bytes[0], 0xB0);
}

TEST(MidiFile, TimesThatFloatingPointTickSizesWouldRoundDownStayExact) {
    Track track;
    track.tempo(0, 600000).at(80, {0x90, 60, 100}).end();  // 100 BPM: 80 of 96 ticks are 0.5 s
    std::vector<TimedMidiMessage> messages = parseMidiFile(midiFile(0, 96, {track}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].seconds, 0.5);
    MidiSchedule schedule(messages, 44100.0);
    VstEvents* events = schedule.eventsForBlock(22050, 1);
    ASSERT_NE(events, nullptr);
    EXPECT_EQ(events->numEvents, 1);
}

TEST(MidiFile, SmpteDivisionCountsFramesAndIgnoresTempo) {
    Track track;
    track.tempo(0, 1000000).at(50, {0x90, 60, 100}).end();
    // 25 frames per second, 40 ticks per frame: a tick is a millisecond.
    std::vector<TimedMidiMessage> messages = parseMidiFile(midiFile(0, 0xE728, {track}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].seconds, 0.05);
}

std::string reasonFor(const Bytes& bytes) {
    try {
        parseMidiFile(bytes);
    } catch (const HostError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(MidiFile, UnreadableFilesAreRefusedWithTheirReason) {
    Track track;
    track.at(0, {0x90, 60, 100}).at(96, {0x80, 60, 0}).end();
    Bytes good = midiFile(0, 96, {track});
    for (std::size_t length = 0; length < good.size() - 4; ++length) {
        EXPECT_NE(reasonFor(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length))),
                  "accepted")
            << length;
    }
    EXPECT_NE(reasonFor(midiFile(2, 96, {track})).find("type 2"), std::string::npos);
    EXPECT_NE(reasonFor(midiFile(0, 0, {track})).find("division"), std::string::npos);
    Track noStatus;
    noStatus.at(0, {60, 100}).end();
    EXPECT_NE(reasonFor(midiFile(0, 96, {noStatus})).find("without a status"), std::string::npos);
    Track longQuantity;
    longQuantity.body = {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100};
    EXPECT_NE(reasonFor(midiFile(0, 96, {longQuantity})).find("four bytes"), std::string::npos);
    Track missingData;
    missingData.at(0, {0x90, 60, 0x90}).end();
    EXPECT_NE(reasonFor(midiFile(0, 96, {missingData})).find("status byte where data"), std::string::npos);
    Bytes header = good;
    header[0] = 'X';
    EXPECT_NE(reasonFor(header).find("MThd"), std::string::npos);
}

TEST(MidiSchedule, MessagesArriveInTheirBlockAtTheFlooredFrame) {
    std::vector<TimedMidiMessage> messages = {{0.0, {0x90, 1, 1}, 3},
                                              {0.01, {0x90, 2, 1}, 3},             // frame 441
                                              {511.0 / 44100.0, {0x90, 3, 1}, 3},  // last frame of block 0
                                              {512.0 / 44100.0, {0x90, 4, 1}, 3},  // first of block 1
                                              {10.0, {0x90, 5, 1}, 3}};
    MidiSchedule schedule(messages, 44100.0);
    VstEvents* first = schedule.eventsForBlock(0, 512);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->numEvents, 3);
    auto event = [](VstEvents* events, int i) {
        VstEvent** slots =
            reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(events) + offsetof(VstEvents, events));
        return reinterpret_cast<VstMidiEvent*>(slots[i]);
    };
    EXPECT_EQ(event(first, 0)->deltaFrames, 0);
    EXPECT_EQ(event(first, 1)->deltaFrames, 441);
    EXPECT_EQ(event(first, 1)->midiData[1], 2);
    EXPECT_EQ(event(first, 2)->deltaFrames, 511);
    EXPECT_EQ(event(first, 2)->type, kVstMidiType);
    EXPECT_EQ(event(first, 2)->byteSize, static_cast<VstInt32>(sizeof(VstMidiEvent)));
    VstEvents* second = schedule.eventsForBlock(512, 100);
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(second->numEvents, 1);
    EXPECT_EQ(event(second, 0)->deltaFrames, 0);
    EXPECT_EQ(event(second, 0)->midiData[1], 4);
    EXPECT_EQ(schedule.eventsForBlock(612, 1000), nullptr);
    // 10 s = frame 441000, inside the block that starts at 440999.
    VstEvents* late = schedule.eventsForBlock(440999, 7);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(event(late, 0)->deltaFrames, 1);
}

}  // namespace
}  // namespace tramvek
