// Smaller parts of the host: option parsing, JSON text, the block buffers a
// plug-in processes in place of the source, the host callback's answers, and
// sample-rate conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/render_options.h"
#include "formats/json_writer.h"
#include "host_error.h"
#include "hosting/block_buffers.h"
#include "hosting/host_callback.h"
#include "hosting/plugin_setup.h"

namespace tramvek {
namespace {

TEST(RenderOptions, ParameterSettingsParseAndRefuseWhatIsNotIndexEqualsValue) {
    ParameterSetting s = parseParameterSetting("5=0.25");
    EXPECT_EQ(s.index, 5);
    EXPECT_EQ(s.value, 0.25f);
    EXPECT_EQ(parseParameterSetting("0=1").value, 1.0f);
    for (const char* bad : {"", "5", "=0.5", "5=", "a=0.5", "5=x", "5=0.5x", "-1=0.5", "5=1.5", "5=-0.1",
                            "5=nan", "5=inf", "99999999999=0.5"}) {
        EXPECT_THROW(parseParameterSetting(bad), HostError) << bad;
    }
}

TEST(RenderOptions, OutOfRangeSettingsAreRefused) {
    RenderOptions good;
    EXPECT_NO_THROW(validateRenderOptions(good));
    auto refused = [&](auto change) {
        RenderOptions options;
        change(options);
        EXPECT_THROW(validateRenderOptions(options), HostError);
    };
    refused([](RenderOptions& o) { o.tempo = 0.0; });
    refused([](RenderOptions& o) { o.tempo = -120.0; });
    refused([](RenderOptions& o) { o.sampleRate = 0.0; });
    refused([](RenderOptions& o) { o.sampleRate = 44100.5; });
    refused([](RenderOptions& o) { o.blockSizes = {}; });
    refused([](RenderOptions& o) { o.blockSizes = {64, 0}; });
    refused([](RenderOptions& o) { o.blockSizes = {65537}; });
    refused([](RenderOptions& o) { o.tailSeconds = -1.0; });
    refused([](RenderOptions& o) { o.ppqStart = std::numeric_limits<double>::infinity(); });

    AEffect effect{};
    effect.numPrograms = 16;
    effect.numParams = 8;
    PluginSetup setup;
    setup.program = 15;
    setup.parameters = {{7, 0.5f}};
    EXPECT_NO_THROW(checkSetupFitsPlugin(setup, effect));
    setup.program = 16;
    EXPECT_THROW(checkSetupFitsPlugin(setup, effect), HostError);
    setup.program = 0;
    setup.parameters = {{8, 0.5f}};
    EXPECT_THROW(checkSetupFitsPlugin(setup, effect), HostError);
}

TEST(JsonWriter, EscapesControlsAndReadsInvalidUtf8AsLatin1) {
    EXPECT_EQ(jsonQuoted("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\u000a\\u0001\"");
    EXPECT_EQ(jsonQuoted("caf\xc3\xa9"), "\"caf\xc3\xa9\"");  // valid UTF-8 stays
    EXPECT_EQ(jsonQuoted("caf\xe9"), "\"caf\\u00e9\"");       // Latin-1 é
    EXPECT_EQ(jsonQuoted("\xc3"), "\"\\u00c3\"");             // a cut sequence

    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("n");
    json.value(std::int64_t{-3});
    json.key("list");
    json.beginArray();
    json.value(0.5);
    json.value(true);
    json.endArray();
    json.key("empty");
    json.beginObject();
    json.endObject();
    json.endObject();
    EXPECT_EQ(out.str(), "{\n  \"n\": -3,\n  \"list\": [\n    0.5,\n    true\n  ],\n  \"empty\": {}\n}\n");
}

TEST(BlockBuffers, SourceFillsTwoInputsThenSilenceAndOutputsStartCleared) {
    StereoAudio source;
    source.left = {1, 2, 3};
    source.right = {4, 5, 6};
    BlockBuffers buffers(3, 1, 4);
    buffers.outputs()[0][0] = 9.0f;
    buffers.inputs()[2][1] = 9.0f;
    buffers.prepare(source, 1, 4);
    EXPECT_EQ(buffers.inputs()[0][0], 2.0f);
    EXPECT_EQ(buffers.inputs()[0][1], 3.0f);
    EXPECT_EQ(buffers.inputs()[0][2], 0.0f);
    EXPECT_EQ(buffers.inputs()[1][1], 6.0f);
    EXPECT_EQ(buffers.inputs()[2][1], 0.0f);
    EXPECT_EQ(buffers.outputs()[0][0], 0.0f);
    // One output feeds both channels of the file.
    EXPECT_EQ(buffers.leftOutput(), buffers.rightOutput());
    buffers.prepare(source, 7, 2);
    EXPECT_EQ(buffers.inputs()[0][0], 0.0f);
}

TEST(HostCallback, AnswersVersionTimeAndCapabilitiesForItsPlugin) {
    HostContext host;
    host.sampleRate = 48000.0f;
    host.blockSize = 256;
    host.timeInfo.tempo = 133.0;
    AEffect effect{};
    host.attach(&effect);
    auto call = [&](AEffect* e, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return HostContext::callback(e, opcode, 0, value, ptr, 0.0f);
    };
    EXPECT_EQ(call(nullptr, audioMasterVersion), 2400);
    auto* time = reinterpret_cast<VstTimeInfo*>(call(&effect, audioMasterGetTime));
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->tempo, 133.0);
    EXPECT_EQ(call(&effect, audioMasterGetSampleRate), 48000);
    EXPECT_EQ(call(&effect, audioMasterGetBlockSize), 256);
    EXPECT_EQ(call(&effect, audioMasterIdle), 1);
    EXPECT_EQ(call(&effect, audioMasterWantMidi, 1), 1);
    EXPECT_TRUE(host.midiWanted);
    char capability[] = "sendVstMidiEvent";
    EXPECT_EQ(call(&effect, audioMasterCanDo, 0, capability), 1);
    char unknown[] = "openCloseAnyThing";
    EXPECT_EQ(call(&effect, audioMasterCanDo, 0, unknown), 0);
    char vendor[64];
    EXPECT_EQ(call(&effect, audioMasterGetVendorString, 0, vendor), 1);
    EXPECT_STREQ(vendor, "tramvek");

    // While an entry runs, calls without a bound record reach the loading context.
    AEffect unbound{};
    EXPECT_EQ(call(&unbound, audioMasterGetTime), 0);
    {
        HostContext::LoadingScope loading(host);
        EXPECT_EQ(call(&unbound, audioMasterGetTime), reinterpret_cast<VstIntPtr>(&host.timeInfo));
    }
    EXPECT_EQ(call(&unbound, audioMasterGetTime), 0);
}

}  // namespace
}  // namespace tramvek
