// State saved and restored through the built library's entry, in the orders
// hosts use: the chunk alone, a program selected before it, or after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "params/le_bytes.h"
#include "plugin/loaded_plugin.h"

namespace tramvek::testing {
namespace {

constexpr VstInt32 kBlock = 512;
constexpr int kBlocks = 450;             // about two and a half bars at 120 BPM: the second bar plays slices
constexpr std::size_t kTrailer = 73960;  // in a bank saved before anything was recorded
constexpr std::size_t kProgramGroup = kTrailer + 24;
constexpr std::size_t kProgramGroupBytes = 16;
constexpr double kTwoPi = 6.283185307179586;

std::size_t nameAt(int program) {
    return 60 * static_cast<std::size_t>(program) + 36;
}

class StateThroughTheEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << "cannot load " << TRAMVEK_PLUGIN_PATH;
        entry = library.entry("main");
        ASSERT_NE(entry, nullptr);
        FakeHost::version = 2400;
    }
    void TearDown() override {
        for (AEffect* e : opened) {
            dispatch(e, effClose);
        }
    }

    AEffect* open() {
        AEffect* e = entry(&FakeHost::callback);
        EXPECT_NE(e, nullptr);
        opened.push_back(e);
        dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(e, effSetBlockSize, 0, kBlock);
        dispatch(e, effMainsChanged, 0, 1);
        return e;
    }

    static VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                              void* ptr = nullptr, float opt = 0.0f) {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }

    static Bytes save(AEffect* e, bool preset = false) {
        void* data = nullptr;
        const auto size = dispatch(e, effGetChunk, preset ? 1 : 0, 0, &data);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return Bytes(bytes, bytes + size);
    }

    static void load(AEffect* e, Bytes bytes) {
        ASSERT_EQ(dispatch(e, effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 73964);
    }

    static std::string programName(AEffect* e) {
        char text[64] = {};
        dispatch(e, effGetProgramName, 0, 0, text);
        return text;
    }

    // Blocks of a tone that changes every sixteenth, from the song's start,
    // with the host's position exact; `between` runs after block `at`.
    template <typename Between>
    static std::vector<float> render(AEffect* e, int at, Between between) {
        FakeHost::time = {};
        FakeHost::time.sampleRate = 44100.0;
        FakeHost::time.tempo = 120.0;
        FakeHost::time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
        std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock), output;
        float* inputs[] = {inL.data(), inR.data()};
        float* outputs[] = {outL.data(), outR.data()};
        for (int block = 0; block < kBlocks; ++block) {
            for (int i = 0; i < kBlock; ++i) {
                const double t = (block * kBlock + i) / 44100.0;
                const double frequency = 200.0 + 90.0 * std::floor(t * 8.0);
                inL[i] = static_cast<float>(0.5 * std::sin(kTwoPi * frequency * t));
                inR[i] = -inL[i];
            }
            e->processReplacing(e, inputs, outputs, kBlock);
            output.insert(output.end(), outL.begin(), outL.end());
            output.insert(output.end(), outR.begin(), outR.end());
            FakeHost::time.ppqPos += kBlock / 44100.0 * 2.0;
            FakeHost::time.samplePos += kBlock;
            if (block == at) {
                between();
            }
        }
        return output;
    }
    static std::vector<float> render(AEffect* e) {
        return render(e, -1, [] {});
    }

    // Programs 0 and 5 edited, 5 current and named.
    Bytes editedBank() {
        AEffect* e = open();
        const float values[2][3] = {{0.15f, 0.5f, 0.6f}, {0.3f, 0.2f, 0.8f}};
        for (int k = 0; k < 2; ++k) {
            dispatch(e, effSetProgram, 0, k == 0 ? 0 : 5);
            e->setParameter(e, 2, values[k][0]);
            e->setParameter(e, 3, values[k][1]);
            e->setParameter(e, 5, values[k][2]);
        }
        char name[] = "Sliced\tup";
        dispatch(e, effSetProgramName, 0, 0, name);
        return save(e);
    }

    LoadedPlugin library;
    PluginEntry entry = nullptr;
    std::vector<AEffect*> opened;
};

TEST_F(StateThroughTheEntry, ABankPlaysAsSavedWhereverTheHostSelectsAProgram) {
    const std::vector<float> defaults = render(open());
    for (const bool todaysFormat : {false, true}) {
        SCOPED_TRACE(todaysFormat ? "a chunk without the program group" : "a chunk with it");
        Bytes bank = editedBank();
        if (todaysFormat) {
            std::fill_n(bank.begin() + kProgramGroup, kProgramGroupBytes, 0);
        }
        // Without the group the chunk does not say which program was current: the instance's stays.
        const VstIntPtr current = todaysFormat ? 0 : 5;

        AEffect* reference = open();
        load(reference, bank);
        dispatch(reference, effSetProgram, 0, current);
        const std::vector<float> expected = render(reference);
        EXPECT_NE(expected, defaults);

        AEffect* selectedFirst = open();
        dispatch(selectedFirst, effSetProgram, 0, 0);
        load(selectedFirst, bank);
        EXPECT_EQ(dispatch(selectedFirst, effGetProgram), current);
        EXPECT_EQ(selectedFirst->getParameter(selectedFirst, 2), todaysFormat ? 0.15f : 0.3f);
        EXPECT_EQ(selectedFirst->getParameter(selectedFirst, 5), todaysFormat ? 0.6f : 0.8f);
        EXPECT_EQ(render(selectedFirst), expected);

        AEffect* neverSelected = open();
        load(neverSelected, bank);
        EXPECT_EQ(render(neverSelected), expected);
    }
}

TEST_F(StateThroughTheEntry, NamesProgramAndEditedPatternLengthRoundTrip) {
    Bytes bank = editedBank();
    // 12 steps, as the editor's length box sets them; the program keeps its 16.
    putI32(bank, kProgramGroup + 8, 12);
    putF32(bank, kProgramGroup + 12, 0.375f);

    AEffect* restored = open();
    load(restored, bank);
    EXPECT_EQ(save(restored), bank);
    EXPECT_EQ(programName(restored), "Sliced?up");
    dispatch(restored, effSetProgram, 0, 0);
    EXPECT_EQ(programName(restored), "Init 1");

    // It plays 12 steps: as the program would with 12 stored, not as with 16.
    AEffect* played = open();
    load(played, bank);
    Bytes storedTwelve = bank;
    putI32(storedTwelve, nameAt(5) - 4, 12);
    std::fill_n(storedTwelve.begin() + kProgramGroup, kProgramGroupBytes, 0);
    AEffect* twelve = open();
    dispatch(twelve, effSetProgram, 0, 5);
    load(twelve, storedTwelve);
    AEffect* sixteen = open();
    load(sixteen, editedBank());
    const std::vector<float> output = render(played);
    EXPECT_EQ(output, render(twelve));
    EXPECT_NE(output, render(sixteen));
}

TEST_F(StateThroughTheEntry, SavingInTheMiddleOfASongChangesNothing) {
    Bytes bank = editedBank();
    putI32(bank, kProgramGroup + 8, 12);
    putF32(bank, kProgramGroup + 12, 0.375f);
    AEffect* plain = open();
    load(plain, bank);
    AEffect* saving = open();
    load(saving, bank);
    const std::vector<float> withSaves = render(saving, kBlocks / 3, [&] {
        save(saving, true);
        save(saving);
    });
    EXPECT_EQ(withSaves, render(plain));
}

}  // namespace
}  // namespace tramvek::testing
