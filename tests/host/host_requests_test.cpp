#include <gtest/gtest.h>

#include <bit>

#include "host/recording_host.h"
#include "host/test_effect.h"

namespace tramvek::testing {
namespace {

TestEffect* configuringTarget = nullptr;

class HostRequests : public ::testing::Test {
  protected:
    const HostRequest& only() {
        EXPECT_EQ(host.requests.size(), 1u);
        return host.requests.back();
    }

    RecordingHost host;
    TestEffect fx{&RecordingHost::callback};
};

TEST_F(HostRequests, UsedWrappersSendTheirOpcodeWithTheRecord) {
    fx.hostWantMidi(1);
    fx.hostIdle();
    fx.hostGetTime(1542);
    ASSERT_EQ(host.requests.size(), 3u);
    const HostRequest& midi = host.requests[0];
    EXPECT_EQ(midi.effect, &fx.effect);
    EXPECT_EQ(midi.opcode, audioMasterWantMidi);
    EXPECT_EQ(midi.index, 0);
    EXPECT_EQ(midi.value, 1);
    EXPECT_EQ(midi.ptr, nullptr);
    EXPECT_EQ(host.requests[1].opcode, audioMasterIdle);
    EXPECT_EQ(host.requests[2].opcode, audioMasterGetTime);
    EXPECT_EQ(host.requests[2].value, 1542);
    for (const HostRequest& request : host.requests) {
        EXPECT_EQ(request.effect, &fx.effect);
    }
}

TEST_F(HostRequests, TimeInfoIsTheHostsRecord) {
    VstTimeInfo info{};
    host.answer = std::bit_cast<VstIntPtr>(&info);
    EXPECT_EQ(fx.hostGetTime(1542), &info);
    host.answer = 0;
    EXPECT_EQ(fx.hostGetTime(1542), nullptr);
}

TEST_F(HostRequests, AutomationSetsTheParameterThenTellsTheHost) {
    struct Recorder : TestEffect {
        using TestEffect::TestEffect;
        void setParameter(VstInt32 index, float value) override {
            lastIndex = index;
            lastValue = value;
        }
        VstInt32 lastIndex = -1;
        float lastValue = 0.0f;
    } recorder(&RecordingHost::callback);
    recorder.setParameterAutomated(4, 0.25f);
    EXPECT_EQ(recorder.lastIndex, 4);
    EXPECT_EQ(recorder.lastValue, 0.25f);
    const HostRequest& request = only();
    EXPECT_EQ(request.opcode, audioMasterAutomate);
    EXPECT_EQ(request.index, 4);
    EXPECT_EQ(request.value, 0);
    EXPECT_EQ(request.opt, 0.25f);
}

TEST_F(HostRequests, VersionFallsBackToOne) {
    host.answer = 2400;
    EXPECT_EQ(fx.hostVersion(), 2400);
    host.answer = 0;
    EXPECT_EQ(fx.hostVersion(), 1);
    EXPECT_EQ(host.requests.back().opcode, audioMasterVersion);
}

TEST_F(HostRequests, PinQueriesInvertTheHostsAnswer) {
    host.answer = 0;
    EXPECT_TRUE(fx.isInputConnected(1));
    EXPECT_TRUE(fx.isOutputConnected(0));
    host.answer = 1;
    EXPECT_FALSE(fx.isInputConnected(1));
    EXPECT_FALSE(fx.isOutputConnected(0));
    ASSERT_EQ(host.requests.size(), 4u);
    EXPECT_EQ(host.requests[0].opcode, audioMasterPinConnected);
    EXPECT_EQ(host.requests[0].index, 1);
    EXPECT_EQ(host.requests[0].value, 0);  // input
    EXPECT_EQ(host.requests[1].value, 1);  // output
}

TEST_F(HostRequests, BooleanWrappersAnswerTrueForAnyNonZero) {
    host.answer = -3;
    EXPECT_TRUE(fx.hostWantMidi(1));
    EXPECT_TRUE(fx.hostIdle());
    EXPECT_TRUE(fx.hostBeginEdit(2));
    host.answer = 0;
    EXPECT_FALSE(fx.hostWantMidi(1));
    EXPECT_FALSE(fx.hostUpdateDisplay());
}

TEST_F(HostRequests, SampleRateAndBlockSizeComeBackThroughTheDispatcher) {
    // A host answers these by configuring the plug-in during the call.
    configuringTarget = &fx;
    host.duringCall = [](VstInt32 opcode) {
        AEffect& e = configuringTarget->effect;
        if (opcode == audioMasterGetSampleRate) {
            e.dispatcher(&e, effSetSampleRate, 0, 0, nullptr, 88200.0f);
        } else if (opcode == audioMasterGetBlockSize) {
            e.dispatcher(&e, effSetBlockSize, 0, 333, nullptr, 0.0f);
        }
    };
    EXPECT_EQ(fx.hostGetSampleRate(), 88200.0f);
    EXPECT_EQ(fx.hostGetBlockSize(), 333);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(host.requests[1].opcode, audioMasterGetBlockSize);
}

TEST_F(HostRequests, FileSelectorWithoutSelectorSendsNothing) {
    host.answer = 1;
    EXPECT_FALSE(fx.hostOpenFileSelector(nullptr));
    EXPECT_TRUE(host.requests.empty());
    int selector = 0;
    EXPECT_TRUE(fx.hostOpenFileSelector(&selector));
    EXPECT_EQ(only().opcode, audioMasterOpenFileSelector);
    EXPECT_EQ(only().ptr, &selector);
}

TEST_F(HostRequests, PassThroughWrappersSendTheirOpcodesAndArguments) {
    char text[64] = {};
    int window = 0;
    fx.hostCurrentId();
    fx.hostTempoAt(480);
    fx.hostGetNumAutomatableParameters();
    fx.hostGetParameterQuantization();
    fx.hostIOChanged();
    fx.hostNeedIdle();
    fx.hostSizeWindow(590, 331);
    fx.hostGetInputLatency();
    fx.hostGetOutputLatency();
    fx.hostGetPreviousPlug(0);
    fx.hostGetNextPlug(0);
    fx.hostWillReplaceOrAccumulate();
    fx.hostGetCurrentProcessLevel();
    fx.hostGetAutomationState();
    fx.hostOfflineStart(nullptr, 1, 2);
    fx.hostOfflineRead(nullptr, 0, true);
    fx.hostOfflineWrite(nullptr, 0);
    fx.hostOfflineGetCurrentPass();
    fx.hostOfflineGetCurrentMetaPass();
    fx.hostSetOutputSampleRate(22050.0f);
    fx.hostGetSpeakerArrangement(nullptr, nullptr);
    fx.hostGetVendorString(text);
    fx.hostGetProductString(text);
    fx.hostGetVendorVersion();
    fx.hostVendorSpecific(1, 2, text, 3.0f);
    fx.hostCanDo("sendVstEvents");
    fx.hostGetLanguage();
    fx.hostOpenWindow(&window);
    fx.hostCloseWindow(&window);
    fx.hostGetDirectory();
    fx.hostUpdateDisplay();
    fx.hostBeginEdit(5);
    fx.hostEndEdit(6);
    const VstInt32 expected[] = {2,  10, 11, 12, 13, 14, 15, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                 28, 29, 30, 31, 32, 33, 34, 35, 37, 38, 39, 40, 41, 42, 43, 44};
    ASSERT_EQ(host.requests.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(host.requests[i].opcode, expected[i]) << i;
        EXPECT_EQ(host.requests[i].effect, &fx.effect) << i;
    }
    EXPECT_EQ(host.requests[1].value, 480);
    EXPECT_EQ(host.requests[6].index, 590);
    EXPECT_EQ(host.requests[6].value, 331);
    EXPECT_EQ(host.requests[19].opt, 22050.0f);
    EXPECT_EQ(host.requests[21].ptr, text);
    EXPECT_EQ(host.requests[24].index, 1);
    EXPECT_EQ(host.requests[24].value, 2);
    EXPECT_EQ(host.requests[24].opt, 3.0f);
    EXPECT_STREQ(static_cast<const char*>(host.requests[25].ptr), "sendVstEvents");
    EXPECT_EQ(host.requests[27].ptr, &window);
    EXPECT_EQ(host.requests[31].index, 5);
    EXPECT_EQ(host.requests[32].index, 6);
}

TEST(HostRequestsWithoutCallback, AnswerZeroOrFalseExceptVersionAndPins) {
    TestEffect fx;  // no host callback
    EXPECT_EQ(fx.hostVersion(), 1);
    EXPECT_TRUE(fx.isInputConnected(0));
    EXPECT_TRUE(fx.isOutputConnected(0));
    EXPECT_EQ(fx.hostCurrentId(), 0);
    EXPECT_FALSE(fx.hostIdle());
    EXPECT_FALSE(fx.hostWantMidi(1));
    EXPECT_EQ(fx.hostGetTime(1542), nullptr);
    EXPECT_EQ(fx.hostCanDo("x"), 0);
    EXPECT_EQ(fx.hostGetDirectory(), nullptr);
    int selector = 0;
    EXPECT_FALSE(fx.hostOpenFileSelector(&selector));
    EXPECT_EQ(fx.hostGetSampleRate(), 44100.0f);  // the plug-in's own field
    EXPECT_EQ(fx.hostGetBlockSize(), 1024);
    fx.setParameterAutomated(0, 0.5f);  // must not call through a null callback
}

}  // namespace
}  // namespace tramvek::testing
