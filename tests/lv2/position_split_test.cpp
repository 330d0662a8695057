// A time:Position inside a block starts a new segment there: the block sounds
// as the same block split at that frame into two blocks, each with its
// position at its start and its notes at their frames in it. Generated
// cases: tempo changes and jumps at any frame, notes on either side of the
// split and on it, in note-to-slice mode (a state saved whole, without files,
// and restored).
#include <gtest/gtest.h>

#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "lv2/urid_table.h"
#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {
namespace {

constexpr double kRate = 48000.0;

struct Position {
    double beat = 0.0;
    double tempo = 120.0;
};

struct Note {
    std::uint32_t frame = 0;
    std::uint8_t key = 0;
};

class Sequence {
  public:
    explicit Sequence(UridTable& table) : table_(table) { lv2_atom_forge_init(&forge_, &table.map); }

    const LV2_Atom_Sequence* build(const std::vector<std::pair<std::uint32_t, Position>>& positions,
                                   const std::vector<Note>& notes) {
        lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(words_.data()),
                                  sizeof(std::uint64_t) * words_.size());
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge_, &sequence, 0);
        for (const auto& [frame, position] : positions) {
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time(&forge_, frame);
            lv2_atom_forge_object(&forge_, &object, 0, table_.id(LV2_TIME__Position));
            lv2_atom_forge_key(&forge_, table_.id(LV2_TIME__beat));
            lv2_atom_forge_double(&forge_, position.beat);
            lv2_atom_forge_key(&forge_, table_.id(LV2_TIME__beatsPerMinute));
            lv2_atom_forge_float(&forge_, static_cast<float>(position.tempo));
            lv2_atom_forge_key(&forge_, table_.id(LV2_TIME__speed));
            lv2_atom_forge_float(&forge_, 1.0f);
            lv2_atom_forge_pop(&forge_, &object);
        }
        for (const Note& note : notes) {
            const std::uint8_t bytes[3] = {0x90, note.key, 100};
            lv2_atom_forge_frame_time(&forge_, note.frame);
            lv2_atom_forge_atom(&forge_, 3, table_.id(LV2_MIDI__MidiEvent));
            lv2_atom_forge_write(&forge_, bytes, 3);
        }
        lv2_atom_forge_pop(&forge_, &sequence);
        return reinterpret_cast<const LV2_Atom_Sequence*>(words_.data());
    }

  private:
    UridTable& table_;
    LV2_Atom_Forge forge_{};
    std::array<std::uint64_t, 1024> words_{};
};

// The instance with note-to-slice mode switched on in its saved bank.
std::unique_ptr<Lv2Slicer> noteToSliceSlicer(UridTable& table) {
    const LV2_Feature mapFeature{LV2_URID__map, &table.map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    auto plugin = Lv2Slicer::create(kRate, features);
    std::vector<std::uint8_t> bank;
    const auto store = [](LV2_State_Handle handle, std::uint32_t, const void* value, std::size_t size,
                          std::uint32_t, std::uint32_t) {
        const auto* bytes = static_cast<const std::uint8_t*>(value);
        static_cast<std::vector<std::uint8_t>*>(handle)->assign(bytes, bytes + size);
        return LV2_STATE_SUCCESS;
    };
    EXPECT_EQ(plugin->save(store, &bank, features), LV2_STATE_SUCCESS);
    const auto frames = static_cast<std::size_t>(readLeI32(bank.data(), chunk_layout::kBankPatternSamples));
    bank.at(chunk_layout::extensionOffset(frames) + chunk_layout::kExtNoteToSliceMode) = 1;
    const auto retrieve = [](LV2_State_Handle handle, std::uint32_t, std::size_t* size, std::uint32_t* type,
                             std::uint32_t* flags) -> const void* {
        auto* saved = static_cast<std::pair<std::vector<std::uint8_t>*, UridTable*>*>(handle);
        *size = saved->first->size();
        *type = saved->second->id(LV2_ATOM__Chunk);
        *flags = 0;
        return saved->first->data();
    };
    std::pair<std::vector<std::uint8_t>*, UridTable*> handle{&bank, &table};
    EXPECT_EQ(plugin->restore(retrieve, &handle, features), LV2_STATE_SUCCESS);
    plugin->activate();
    return plugin;
}

struct Block {
    std::uint32_t frames = 0;
    std::vector<std::pair<std::uint32_t, Position>> positions;
    std::vector<Note> notes;
};

// Runs the blocks on a fresh instance; the output's left channel.
std::vector<float> render(const std::vector<Block>& blocks, const std::vector<float>& input) {
    UridTable table;
    auto plugin = noteToSliceSlicer(table);
    Sequence time(table);
    Sequence midi(table);
    std::vector<float> left(input.size());
    std::vector<float> right(input.size());
    std::vector<float> in(input);
    std::size_t at = 0;
    for (const Block& block : blocks) {
        plugin->connect(kPortInputLeft, in.data() + at);
        plugin->connect(kPortInputRight, in.data() + at);
        plugin->connect(kPortOutputLeft, left.data() + at);
        plugin->connect(kPortOutputRight, right.data() + at);
        plugin->connect(kPortTime, const_cast<LV2_Atom_Sequence*>(time.build(block.positions, {})));
        plugin->connect(kPortMidi, const_cast<LV2_Atom_Sequence*>(midi.build({}, block.notes)));
        plugin->run(block.frames);
        at += block.frames;
    }
    return left;
}

// The same music with every block that has a second position split there.
std::vector<Block> splitAtPositions(const std::vector<Block>& blocks) {
    std::vector<Block> split;
    for (const Block& block : blocks) {
        if (block.positions.size() < 2) {
            split.push_back(block);
            continue;
        }
        const std::uint32_t at = block.positions[1].first;
        Block first{at, {block.positions[0]}, {}};
        Block second{block.frames - at, {{0, block.positions[1].second}}, {}};
        for (const Note& note : block.notes) {
            if (note.frame < at) {
                first.notes.push_back(note);
            } else {
                second.notes.push_back({note.frame - at, note.key});
            }
        }
        split.push_back(first);
        split.push_back(second);
    }
    return split;
}

TEST(Lv2PositionSplit, APositionInsideABlockSoundsAsTheBlockSplitThere) {
    std::mt19937 random(20261209);
    int withNotesAudible = 0;
    constexpr int kCases = 8;
    for (int c = 0; c < kCases; ++c) {
        const double tempo = std::uniform_real_distribution<double>(100.0, 200.0)(random);
        std::vector<Block> blocks;
        double beat = 0.0;
        std::uint32_t frames = 0;
        // A bar and a half in blocks that tell their position, for the first pass to be recorded.
        while (beat < 10.0) {
            const auto size = std::uniform_int_distribution<std::uint32_t>(64, 512)(random);
            blocks.push_back({size, {{0, {beat, tempo}}}, {}});
            beat += size * tempo / (60.0 * kRate);
            frames += size;
        }
        Block changed;
        changed.frames = std::uniform_int_distribution<std::uint32_t>(2, 1024)(random);
        const auto at = std::uniform_int_distribution<std::uint32_t>(1, changed.frames - 1)(random);
        const double jump = std::uniform_int_distribution<int>(0, 2)(random) *
                            std::uniform_real_distribution<double>(-1.0, 3.0)(random);
        const Position second{beat + at * tempo / (60.0 * kRate) + jump,
                              std::uniform_real_distribution<double>(60.0, 240.0)(random)};
        changed.positions = {{0, {beat, tempo}}, {at, second}};
        changed.notes = {{std::uniform_int_distribution<std::uint32_t>(0, at - 1)(random), 50},
                         {at, 61},
                         {std::uniform_int_distribution<std::uint32_t>(at, changed.frames - 1)(random), 72}};
        blocks.push_back(changed);
        frames += changed.frames;
        // Then a few blocks as the second position runs on, for the slices to sound.
        double after = second.beat + (changed.frames - at) * second.tempo / (60.0 * kRate);
        for (int i = 0; i < 16; ++i) {
            const std::uint32_t size = 500;
            blocks.push_back({size, {{0, {after, second.tempo}}}, {}});
            after += size * second.tempo / (60.0 * kRate);
            frames += size;
        }
        std::vector<float> input(frames);
        for (std::size_t i = 0; i < input.size(); ++i) {
            input[i] = 0.5f * std::sin(0.001f * static_cast<float>(i * i % 100003));
        }
        const std::vector<float> whole = render(blocks, input);
        ASSERT_EQ(whole, render(splitAtPositions(blocks), input))
            << "case " << c << ": " << changed.frames << " frames, the position at " << at;
        blocks[blocks.size() - 17].notes.clear();
        withNotesAudible += whole != render(blocks, input) ? 1 : 0;
    }
    // The notes started slices (or the comparison proved little).
    EXPECT_GT(withNotesAudible, kCases / 2);
}

}  // namespace
}  // namespace tramvek::lv2
