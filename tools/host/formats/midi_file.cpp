#include "formats/midi_file.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "formats/byte_order.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExContinuation = 0xF7;

struct TickedMessage {
    std::uint64_t tick = 0;
    std::array<std::uint8_t, 3> bytes{};
    int size = 0;
};

struct TempoChange {
    std::uint64_t tick = 0;
    std::uint32_t microsecondsPerQuarter = kDefaultMicrosecondsPerQuarter;
};

struct TrackContents {
    std::vector<TickedMessage> messages;
    std::vector<TempoChange> tempos;
};

class Cursor {
  public:
    Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return position_ >= bytes_.size(); }
    std::uint8_t peek() const {
        need(1);
        return bytes_[position_];
    }
    std::uint8_t byte() {
        need(1);
        return bytes_[position_++];
    }
    // Variable-length quantity: at most four bytes, seven bits each.
    std::uint32_t quantity() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = byte();
            value = value << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return value;
            }
        }
        throw HostError("bad MIDI file: a length or time runs over four bytes");
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        need(count);
        auto part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }

  private:
    void need(std::size_t count) const {
        if (count > bytes_.size() - position_) {
            throw HostError("truncated MIDI file");
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

int dataBytesOf(std::uint8_t status) {
    std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

void readMeta(Cursor& cursor, std::uint64_t tick, TrackContents& track, bool& ended) {
    std::uint8_t type = cursor.byte();
    std::span<const std::uint8_t> data = cursor.take(cursor.quantity());
    if (type == kMetaTempo && data.size() >= 3) {
        std::uint32_t tempo = std::uint32_t{data[0]} << 16 | std::uint32_t{data[1]} << 8 | data[2];
        if (tempo > 0) {
            track.tempos.push_back({tick, tempo});
        }
    }
    ended = type == kMetaEndOfTrack;
}

TickedMessage readChannelMessage(Cursor& cursor, std::uint64_t tick, std::uint8_t status) {
    TickedMessage message{tick, {status, 0, 0}, 1 + dataBytesOf(status)};
    for (int i = 1; i < message.size; ++i) {
        std::uint8_t data = cursor.byte();
        if (data >= 0x80) {
            throw HostError("bad MIDI file: a status byte where data was expected");
        }
        message.bytes[static_cast<std::size_t>(i)] = data;
    }
    return message;
}

TrackContents readTrack(std::span<const std::uint8_t> bytes) {
    TrackContents track;
    Cursor cursor(bytes);
    std::uint64_t tick = 0;
    std::uint8_t runningStatus = 0;
    bool ended = false;
    while (!ended && !cursor.atEnd()) {
        tick += cursor.quantity();
        std::uint8_t status = cursor.peek() >= 0x80 ? cursor.byte() : runningStatus;
        if (status == kMetaEvent) {
            readMeta(cursor, tick, track, ended);
            runningStatus = 0;
        } else if (status == kSysEx || status == kSysExContinuation) {
            cursor.take(cursor.quantity());
            runningStatus = 0;
        } else if (status >= 0x80 && status < 0xF0) {
            track.messages.push_back(readChannelMessage(cursor, tick, status));
            runningStatus = status;
        } else {
            throw HostError(status == 0 ? "bad MIDI file: data without a status byte"
                                        : "bad MIDI file: system message inside a track");
        }
    }
    return track;
}

// Times are counted exactly in integer units and divided once, so that an
// event on a sample boundary lands on it rather than one frame early. With a
// quarter-note division a unit is a microsecond / division (a tick lasts the
// tempo's microseconds per quarter); with an SMPTE division it is a
// thousandth of a tick at 30 fps and below, and the tempo is ignored.
bool isSmpte(std::uint16_t division) {
    return (division & 0x8000) != 0;
}

int smpteFramesPerSecond(std::uint16_t division) {
    return -static_cast<std::int8_t>(division >> 8);
}

std::uint64_t unitsPerTick(std::uint16_t division, std::uint32_t microsecondsPerQuarter) {
    if (!isSmpte(division)) {
        return microsecondsPerQuarter;
    }
    return smpteFramesPerSecond(division) == 29 ? 1001 : 1000;  // 29 means 30000/1001 fps
}

double unitsPerSecond(std::uint16_t division) {
    if (!isSmpte(division)) {
        return 1e6 * division;
    }
    int fps = smpteFramesPerSecond(division);
    return (fps == 29 ? 30000.0 : fps * 1000.0) * (division & 0xFF);
}

std::vector<TimedMidiMessage> timeMessages(std::vector<TickedMessage>& messages,
                                           std::vector<TempoChange>& tempos, std::uint16_t division) {
    auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(messages.begin(), messages.end(), byTick);
    std::stable_sort(tempos.begin(), tempos.end(), byTick);
    std::vector<TimedMidiMessage> timed;
    std::uint64_t segmentTick = 0;
    std::uint64_t segmentUnits = 0;
    std::uint64_t tickUnits = unitsPerTick(division, kDefaultMicrosecondsPerQuarter);
    double secondUnits = unitsPerSecond(division);
    std::size_t nextTempo = 0;
    for (const TickedMessage& message : messages) {
        while (nextTempo < tempos.size() && tempos[nextTempo].tick <= message.tick) {
            segmentUnits += (tempos[nextTempo].tick - segmentTick) * tickUnits;
            segmentTick = tempos[nextTempo].tick;
            tickUnits = unitsPerTick(division, tempos[nextTempo].microsecondsPerQuarter);
            ++nextTempo;
        }
        std::uint64_t units = segmentUnits + (message.tick - segmentTick) * tickUnits;
        timed.push_back({static_cast<double>(units) / secondUnits, message.bytes, message.size});
    }
    return timed;
}

}  // namespace

std::vector<TimedMidiMessage> parseMidiFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        throw HostError("not a standard MIDI file (no 'MThd' header)");
    }
    std::uint32_t headerLength = readU32Be(&bytes[4]);
    std::uint16_t format = static_cast<std::uint16_t>(bytes[8] << 8 | bytes[9]);
    std::uint16_t trackCount = static_cast<std::uint16_t>(bytes[10] << 8 | bytes[11]);
    std::uint16_t division = static_cast<std::uint16_t>(bytes[12] << 8 | bytes[13]);
    if (headerLength < 6 || headerLength > bytes.size() - 8) {
        throw HostError("bad MIDI file: header length " + std::to_string(headerLength));
    }
    if (format > 1) {
        throw HostError("MIDI file type " + std::to_string(format) +
                        " is not supported (only types 0 and 1)");
    }
    if (isSmpte(division) ? (division & 0xFF) == 0 : division == 0) {
        throw HostError("bad MIDI file: zero time division");
    }
    std::vector<TickedMessage> messages;
    std::vector<TempoChange> tempos;
    std::size_t tracksRead = 0;
    for (std::size_t pos = 8 + headerLength; tracksRead < trackCount;) {
        if (bytes.size() - pos < 8) {
            throw HostError("truncated MIDI file: " + std::to_string(tracksRead) + " of " +
                            std::to_string(trackCount) + " tracks");
        }
        std::uint32_t length = readU32Be(&bytes[pos + 4]);
        if (length > bytes.size() - pos - 8) {
            throw HostError("truncated MIDI file: track " + std::to_string(tracksRead) + " ends early");
        }
        if (std::memcmp(&bytes[pos], "MTrk", 4) == 0) {
            TrackContents track = readTrack(bytes.subspan(pos + 8, length));
            messages.insert(messages.end(), track.messages.begin(), track.messages.end());
            tempos.insert(tempos.end(), track.tempos.begin(), track.tempos.end());
            ++tracksRead;
        }
        pos += 8 + length;
    }
    return timeMessages(messages, tempos, division);
}

}  // namespace tramvek
