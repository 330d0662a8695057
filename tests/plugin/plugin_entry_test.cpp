#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "midi/event_block.h"
#include "params/le_bytes.h"
#include "plugin/loaded_plugin.h"

namespace tramvek::testing {
namespace {

class BuiltPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << "cannot load " << TRAMVEK_PLUGIN_PATH;
        entry = library.entry("main");
        ASSERT_NE(entry, nullptr) << "no exported main";
        FakeHost::version = 2400;
        FakeHost::clear();
        FakeHost::time = {};
        FakeHost::time.sampleRate = 44100.0;
        FakeHost::time.tempo = 120.0;
        FakeHost::time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    }

    AEffect* create() { return entry(&FakeHost::callback); }

    static VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                              void* ptr = nullptr, float opt = 0.0f) {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }

    static VstIntPtr close(AEffect* e) { return dispatch(e, effClose); }

    LoadedPlugin library;
    PluginEntry entry = nullptr;
};

TEST_F(BuiltPlugin, EntryAsksTheHostVersionFirstWithoutARecord) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    ASSERT_FALSE(FakeHost::opcodes.empty());
    EXPECT_EQ(FakeHost::opcodes.front(), audioMasterVersion);
    EXPECT_EQ(FakeHost::effects.front(), nullptr);
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, RecordDescribesTheSlicer) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);  // 'VstP'
    EXPECT_EQ(e->numPrograms, 16);
    EXPECT_EQ(e->numParams, 8);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 0x35);  // editor, VU, replacing, program chunks
    EXPECT_EQ(e->uniqueID, 0x51585456);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_NE(e->object, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->setParameter, nullptr);
    EXPECT_NE(e->getParameter, nullptr);
    EXPECT_TRUE(std::all_of(std::begin(e->future), std::end(e->future), [](char c) { return c == 0; }));
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, DispatcherAnswers) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(dispatch(e, effIdentify), 0x4E764566);
    EXPECT_EQ(dispatch(e, effGetVstVersion), 2200);
    EXPECT_EQ(dispatch(e, effKeysRequired), 1);
    EXPECT_EQ(dispatch(e, effGetPlugCategory), 0);
    EXPECT_EQ(dispatch(e, effCanBeAutomated, 42), 1);
    EXPECT_EQ(dispatch(e, effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
    EXPECT_EQ(dispatch(e, effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
    EXPECT_EQ(dispatch(e, effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), -1);
    EXPECT_EQ(dispatch(e, effCanDo, 0, 0, const_cast<char*>("")), -1);
    EXPECT_EQ(dispatch(e, effGetVendorVersion), 0);
    EXPECT_EQ(dispatch(e, 69), 0);
    EXPECT_EQ(dispatch(e, -1), 0);

    char text[64];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(dispatch(e, effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Orvando @ Wobblefactorium");
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(dispatch(e, effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "tramvek v1.0");
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, ProgramRangeAndEditorSize) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    dispatch(e, effSetProgram, 0, 5);
    EXPECT_EQ(dispatch(e, effGetProgram), 5);
    dispatch(e, effSetProgram, 0, 16);
    dispatch(e, effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(e, effGetProgram), 5);

    // Every build shows its editor, at the background picture's size.
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(e, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 590);
    EXPECT_EQ(rect->bottom - rect->top, 331);
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, OverlongProgramNameIsCutToTheStoredLength) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    std::string longName(200, 'n');
    dispatch(e, effSetProgramName, 0, 0, longName.data());
    char name[256];
    std::memset(name, '#', sizeof name);
    dispatch(e, effGetProgramName, 0, 0, name);
    EXPECT_EQ(std::string(name), std::string(23, 'n'));
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, ResumeAsksForMidiThroughItsOwnRecord) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    FakeHost::clear();
    dispatch(e, effMainsChanged, 0, 1);
    ASSERT_EQ(FakeHost::opcodes.size(), 1u);
    EXPECT_EQ(FakeHost::opcodes[0], audioMasterWantMidi);
    EXPECT_EQ(FakeHost::values[0], 1);
    EXPECT_EQ(FakeHost::effects[0], e);
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, ProcessesAudioThroughItsEntry) {
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(e, effSetBlockSize, 0, 512);
    dispatch(e, effMainsChanged, 0, 1);
    std::vector<float> inL(512, 0.25f), inR(512, -0.25f), outL(512, 9.0f), outR(512, 9.0f);
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    for (int block = 0; block < 8; ++block) {
        e->processReplacing(e, inputs, outputs, 512);
        FakeHost::time.ppqPos += 512.0 / 44100.0 * 2.0;
        FakeHost::time.samplePos += 512.0;
    }
    EXPECT_NE(std::find(FakeHost::opcodes.begin(), FakeHost::opcodes.end(), audioMasterGetTime),
              FakeHost::opcodes.end());
    EXPECT_TRUE(std::all_of(outL.begin(), outL.end(), [](float s) { return std::isfinite(s) && s != 9.0f; }));
    EXPECT_TRUE(std::all_of(outR.begin(), outR.end(), [](float s) { return std::isfinite(s) && s != 9.0f; }));
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, ALearnedControllerMoveReachesTheHostAsAutomation) {
    constexpr std::size_t kBankControllers = 73760;  // int32 per parameter
    AEffect* e = create();
    ASSERT_NE(e, nullptr);
    dispatch(e, effMainsChanged, 0, 1);
    void* data = nullptr;
    const auto size = dispatch(e, effGetChunk, 0, 0, &data);
    Bytes bank(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    putI32(bank, kBankControllers + 4 * 2, 7);  // controller 7 moves Cutoff
    ASSERT_NE(dispatch(e, effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data()), 0);

    FakeHost::clear();
    EventBlock events;
    dispatch(e, effProcessEvents, 0, 0, events.controller(7, 64).get());
    const auto automate = std::find(FakeHost::opcodes.begin(), FakeHost::opcodes.end(), audioMasterAutomate);
    ASSERT_NE(automate, FakeHost::opcodes.end());
    const auto at = static_cast<std::size_t>(automate - FakeHost::opcodes.begin());
    EXPECT_EQ(FakeHost::indexes[at], 2);
    EXPECT_FLOAT_EQ(FakeHost::opts[at], 64.0f / 127.0f);
    EXPECT_EQ(FakeHost::opts[at], e->getParameter(e, 2));
    EXPECT_EQ(close(e), 1);
}

TEST_F(BuiltPlugin, InstancesAreIndependent) {
    AEffect* first = create();
    AEffect* second = create();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    dispatch(first, effSetProgram, 0, 3);
    dispatch(second, effSetProgram, 0, 9);
    EXPECT_EQ(dispatch(first, effGetProgram), 3);
    EXPECT_EQ(close(first), 1);
    EXPECT_EQ(dispatch(second, effGetProgram), 9);
    EXPECT_EQ(close(second), 1);
}

TEST_F(BuiltPlugin, NoPluginForAHostWithoutVersionOrCallback) {
    FakeHost::version = 0;
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(FakeHost::opcodes.size(), 1u);  // only the version was asked
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST_F(BuiltPlugin, ExportsOnlyTheEntry) {
#if defined(_WIN32)
    EXPECT_EQ(library.entry("VSTPluginMain"), nullptr);
#else
    EXPECT_NE(library.entry("VSTPluginMain"), nullptr);
#endif
    EXPECT_EQ(library.entry("createPlugin"), nullptr);
    EXPECT_EQ(library.entry("_ZN7tramvek17setModuleInstanceEPv"), nullptr);  // tramvek::setModuleInstance
}

}  // namespace
}  // namespace tramvek::testing
