#include <gtest/gtest.h>

#include <bit>

#include "host/recording_host.h"
#include "host/test_effect.h"

namespace tramvek::testing {
namespace {

class HostRequests : public ::testing::Test {
  protected:
    const HostRequest& only() {
        EXPECT_EQ(host.requests.size(), 1u);
        return host.requests.back();
    }

    RecordingHost host;
    TestEffect fx{&RecordingHost::callback};
};

TEST_F(HostRequests, WrappersSendTheirOpcodeWithTheRecord) {
    fx.hostWantMidi(1);
    fx.hostIdle();
    fx.hostGetTime(1542);
    fx.hostCurrentId();
    ASSERT_EQ(host.requests.size(), 4u);
    const HostRequest& midi = host.requests[0];
    EXPECT_EQ(midi.effect, &fx.effect);
    EXPECT_EQ(midi.opcode, audioMasterWantMidi);
    EXPECT_EQ(midi.index, 0);
    EXPECT_EQ(midi.value, 1);
    EXPECT_EQ(midi.ptr, nullptr);
    EXPECT_EQ(host.requests[1].opcode, audioMasterIdle);
    EXPECT_EQ(host.requests[2].opcode, audioMasterGetTime);
    EXPECT_EQ(host.requests[2].value, 1542);
    EXPECT_EQ(host.requests[3].opcode, audioMasterCurrentId);
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
    host.answer = 0;
    EXPECT_FALSE(fx.hostWantMidi(1));
    EXPECT_FALSE(fx.hostIdle());
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
    fx.setParameterAutomated(0, 0.5f);  // must not call through a null callback
}

}  // namespace
}  // namespace tramvek::testing
