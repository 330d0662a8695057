#include <gtest/gtest.h>

#include <cstring>

#include "host/test_effect.h"

namespace tramvek::testing {
namespace {

VstIntPtr dispatch(TestEffect& fx, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f) {
    return fx.effect.dispatcher(&fx.effect, opcode, index, value, ptr, opt);
}

TEST(EffectRecord, BaseLayerFillsTheRecord) {
    TestEffect fx;
    const AEffect& e = fx.effect;
    EXPECT_EQ(e.magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(e.numPrograms, 16);
    EXPECT_EQ(e.numParams, 8);
    EXPECT_EQ(e.numInputs, 1);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, 0);
    EXPECT_EQ(e.uniqueID, 0x4E6F4566);
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.object, static_cast<EffectBase*>(&fx));
    EXPECT_EQ(e.user, nullptr);
    EXPECT_EQ(e.initialDelay, 0);
    for (char reserved : e.future) {
        EXPECT_EQ(reserved, 0);
    }
    EXPECT_EQ(fx.sampleRate, 44100.0f);
    EXPECT_EQ(fx.blockSize, 1024);
    EXPECT_EQ(fx.curProgram, 0);
    EXPECT_EQ(fx.editor.get(), nullptr);
}

TEST(EffectRecord, FlagSettersSetAndClearOnlyTheirBit) {
    TestEffect fx;
    fx.setFlagHasVu(true);
    fx.setFlagCanReplacing(true);
    fx.setFlagProgramChunks(true);
    EXPECT_EQ(fx.effect.flags, 0x34);
    fx.setFlagHasClip(true);
    fx.setFlagCanMono(true);
    EXPECT_EQ(fx.effect.flags, 0x34 | 2 | 8);
    fx.setFlagHasClip(false);
    fx.setFlagCanReplacing(false);
    EXPECT_EQ(fx.effect.flags, 0x24 | 8);
}

TEST(BasicDispatcher, AnswersAndForwards) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effIdentify), 0x4E764566);
    EXPECT_EQ(dispatch(fx, effOpen), 0);
    EXPECT_EQ(fx.openCount, 1);

    EXPECT_EQ(dispatch(fx, effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(fx.sampleRate, 48000.0f);
    EXPECT_EQ(dispatch(fx, effSetBlockSize, 0, 256), 0);
    EXPECT_EQ(fx.blockSize, 256);

    fx.vu = 0.5f;
    EXPECT_EQ(dispatch(fx, effGetVu), 16383);  // 0.5 * 32767 truncated
    fx.vu = -0.5f;
    EXPECT_EQ(dispatch(fx, effGetVu), -16383);

    char name[32] = "x";
    EXPECT_EQ(dispatch(fx, effGetParamName, 5, 0, name), 0);
    EXPECT_EQ(fx.lastParamIndex, 5);
    EXPECT_STREQ(name, "name");
    char label[32] = "unchanged";
    EXPECT_EQ(dispatch(fx, effGetParamLabel, 0, 0, label), 0);
    EXPECT_STREQ(label, "");
}

TEST(BasicDispatcher, ProgramNumbersOutsideTheRangeAreIgnored) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effSetProgram, 0, 15), 0);
    EXPECT_EQ(dispatch(fx, effGetProgram), 15);
    for (VstIntPtr bad : {VstIntPtr{16}, VstIntPtr{-1}, VstIntPtr{1} << 30}) {
        EXPECT_EQ(dispatch(fx, effSetProgram, 0, bad), 0);
        EXPECT_EQ(dispatch(fx, effGetProgram), 15) << bad;
    }
    EXPECT_EQ(fx.setProgramCount, 1);
    EXPECT_EQ(dispatch(fx, effSetProgram, 0, 0), 0);
    EXPECT_EQ(fx.curProgram, 0);
}

TEST(BasicDispatcher, MainsChangedSuspendsOnZeroAndResumesOtherwise) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effMainsChanged, 0, 0), 0);
    EXPECT_EQ(fx.suspendCount, 1);
    EXPECT_EQ(fx.resumeCount, 0);
    dispatch(fx, effMainsChanged, 0, 1);
    dispatch(fx, effMainsChanged, 0, -7);
    EXPECT_EQ(fx.suspendCount, 1);
    EXPECT_EQ(fx.resumeCount, 2);
}

TEST(BasicDispatcher, ChunksPassDirectionAndSize) {
    TestEffect fx;
    void* address = nullptr;
    EXPECT_EQ(dispatch(fx, effGetChunk, 1, 0, &address), 12);
    EXPECT_EQ(address, fx.chunk);
    EXPECT_TRUE(fx.lastChunkWasPreset);
    EXPECT_EQ(dispatch(fx, effGetChunk, 0, 0, &address), 12);
    EXPECT_FALSE(fx.lastChunkWasPreset);

    char data[40] = {};
    EXPECT_EQ(dispatch(fx, effSetChunk, 1, sizeof data, data), 1);
    EXPECT_EQ(fx.lastChunkIn, data);
    EXPECT_EQ(fx.lastChunkSize, 40);
    EXPECT_TRUE(fx.lastChunkWasPreset);
}

TEST(BasicDispatcher, MissingOrImpossibleHostPointersAreRefused) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(fx, effSetChunk, 0, 10, nullptr), 0);
    char data[4] = {};
    EXPECT_EQ(dispatch(fx, effSetChunk, 0, -1, data), 0);
    EXPECT_EQ(fx.lastChunkSize, -1);  // setChunk never reached
    EXPECT_EQ(dispatch(fx, effSetProgramName, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(fx, effGetParamName, 0, 0, nullptr), 0);
    EXPECT_EQ(fx.lastParamIndex, -1);
    EXPECT_EQ(dispatch(fx, effProcessEvents, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(fx, effCanDo, 0, 0, nullptr), -1);
    EXPECT_EQ(dispatch(fx, effGetVendorString, 0, 0, nullptr), 0);
}

TEST(BasicDispatcher, DefaultProgramNameLeavesTheHostTextAlone) {
    struct PlainEffect : ExtendedEffectBase {
        PlainEffect() : ExtendedEffectBase(nullptr, 16, 8) {}
        void process(float**, float**, VstInt32) override {}
    } fx;
    char text[32] = "Host's own name";
    fx.effect.dispatcher(&fx.effect, effSetProgramName, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "Host's own name");
    fx.effect.dispatcher(&fx.effect, effGetProgramName, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "");
}

TEST(ExtendedDispatcher, FixedAnswers) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effGetVstVersion), 2200);
    EXPECT_EQ(dispatch(fx, effKeysRequired), 1);
    EXPECT_EQ(dispatch(fx, effGetPlugCategory), 0);
    fx.effect.flags |= effFlagsIsSynth;
    EXPECT_EQ(dispatch(fx, effGetPlugCategory), 2);
    EXPECT_EQ(dispatch(fx, effGetNumProgramCategories), 1);
    EXPECT_EQ(dispatch(fx, effConnectInput, 0, 1), 1);
    EXPECT_EQ(dispatch(fx, effConnectOutput, 1, 0), 1);
    EXPECT_EQ(dispatch(fx, effGetCurrentMidiProgram), -1);
    for (VstInt32 index : {0, 7, 8, 1000, -1}) {
        EXPECT_EQ(dispatch(fx, effCanBeAutomated, index), 1) << index;
    }
    // Without an override the base layer claims nothing.
    EXPECT_EQ(dispatch(fx, effCanDo, 0, 0, const_cast<char*>("receiveVstEvents")), 0);
}

TEST(ExtendedDispatcher, BlockSizeAndSampleRateTogether) {
    TestEffect fx;
    EXPECT_EQ(dispatch(fx, effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(fx.blockSize, 512);
    EXPECT_EQ(fx.sampleRate, 96000.0f);
}

TEST(ExtendedDispatcher, ProcessEventsReachesTheEffect) {
    TestEffect fx;
    VstEvents events{};
    EXPECT_EQ(dispatch(fx, effProcessEvents, 0, 0, &events), 1);
    EXPECT_EQ(fx.lastEvents, &events);
}

TEST(ExtendedDispatcher, UnhandledAndUnknownOpcodesAnswerZeroAndChangeNothing) {
    TestEffect fx;
    fx.curProgram = 3;
    char buffer[64] = "untouched";
    for (VstInt32 opcode = 0; opcode <= 68; ++opcode) {
        const bool handled = opcode <= 15 || opcode == 19 || (opcode >= 22 && opcode <= 26) || opcode == 28 ||
                             opcode == 31 || opcode == 32 || opcode == 35 || opcode == 43 || opcode == 47 ||
                             opcode == 48 || opcode == 51 || opcode == 57 || opcode == 58 ||
                             (opcode >= 59 && opcode <= 61) || opcode == 63;
        if (!handled) {
            EXPECT_EQ(dispatch(fx, opcode, 1, 1, buffer, 1.0f), 0) << opcode;
        }
    }
    for (VstInt32 opcode : {69, 70, 1000, -1, -100, static_cast<VstInt32>(0x80000000u)}) {
        EXPECT_EQ(dispatch(fx, opcode, 1, 1, buffer, 1.0f), 0) << opcode;
    }
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(fx.curProgram, 3);
    EXPECT_EQ(fx.sampleRate, 44100.0f);
    EXPECT_EQ(fx.blockSize, 1024);
    EXPECT_EQ(fx.openCount + fx.closeCount + fx.suspendCount + fx.resumeCount, 0);
}

TEST(ExtendedDispatcher, EditorOpcodesAnswerZeroWithoutEditor) {
    TestEffect fx;
    ERect* rect = reinterpret_cast<ERect*>(&fx);
    EXPECT_EQ(dispatch(fx, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(&fx));  // nothing stored
    EXPECT_EQ(dispatch(fx, effEditOpen, 0, 0, &fx), 0);
    EXPECT_EQ(dispatch(fx, effEditClose), 0);
    EXPECT_EQ(dispatch(fx, effEditIdle), 0);
    EXPECT_EQ(dispatch(fx, effEditKeyDown, 'a', 1, nullptr, 2.0f), 0);
    EXPECT_EQ(dispatch(fx, effEditKeyUp, 'a', 1, nullptr, 2.0f), 0);
    EXPECT_EQ(dispatch(fx, effSetEditKnobMode, 0, 2), 0);
}

TEST(EntryPoints, ForwardParametersAndProcessing) {
    struct CountingEffect : TestEffect {
        void setParameter(VstInt32 index, float value) override {
            lastIndex = index;
            lastValue = value;
        }
        float getParameter(VstInt32 index) override { return static_cast<float>(index) * 0.25f; }
        void process(float**, float**, VstInt32 frames) override { processed += frames; }
        void processReplacing(float**, float**, VstInt32 frames) override { replaced += frames; }
        VstInt32 lastIndex = -1;
        float lastValue = 0.0f;
        int processed = 0;
        int replaced = 0;
    } fx;
    AEffect& e = fx.effect;
    e.setParameter(&e, 3, 0.75f);
    EXPECT_EQ(fx.lastIndex, 3);
    EXPECT_EQ(fx.lastValue, 0.75f);
    EXPECT_EQ(e.getParameter(&e, 2), 0.5f);
    e.process(&e, nullptr, nullptr, 64);
    e.processReplacing(&e, nullptr, nullptr, 32);
    EXPECT_EQ(fx.processed, 64);
    EXPECT_EQ(fx.replaced, 32);
}

TEST(EntryPoints, CloseDestroysTheObjectAndAnswersOne) {
    bool destroyed = false;
    auto* fx = new TestEffect(nullptr, &destroyed);
    AEffect* record = &fx->effect;
    const AEffectDispatcherProc dispatcher = record->dispatcher;
    EXPECT_EQ(dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(destroyed);
}

TEST(EntryPoints, CloseRunsTheCloseOperationFirst) {
    struct CloseWatcher : TestEffect {
        explicit CloseWatcher(int* closes) : closes(closes) {}
        void close() override { ++*closes; }
        int* closes;
    };
    int closes = 0;
    auto* fx = new CloseWatcher(&closes);
    fx->effect.dispatcher(&fx->effect, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(closes, 1);
}

TEST(EntryPoints, RecordWithoutObjectIsHarmless) {
    TestEffect fx;
    AEffect orphan = fx.effect;
    orphan.object = nullptr;
    EXPECT_EQ(orphan.dispatcher(&orphan, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(orphan.dispatcher(nullptr, effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
}

}  // namespace
}  // namespace tramvek::testing
