// The plug-in's side of the editor's ports: one view per request on the
// notify port, at once after an edit on the command port, otherwise once 30 ms
// of audio have passed; parameters are the control ports' alone; a notify
// buffer too small for a view stays a valid, empty sequence.
#include <gtest/gtest.h>

#include <lv2/atom/util.h>

#include <cmath>
#include <vector>

#include "lv2/urid_table.h"
#include "plugin/lv2/lv2_messages.h"
#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {
namespace {

constexpr double kRate = 48000.0;
constexpr std::uint32_t kBlock = 64;

struct EditorPorts : ::testing::Test {
    UridTable table;
    Uris uris = mapUris(table.map);
    const LV2_Feature mapFeature{LV2_URID__map, &table.map};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};
    std::unique_ptr<Lv2Slicer> plugin = Lv2Slicer::create(kRate, features);
    std::vector<float> silence = std::vector<float>(kBlock);
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
    std::vector<std::uint64_t> commands = std::vector<std::uint64_t>(64);
    std::vector<std::uint64_t> notify = std::vector<std::uint64_t>(kNotifyBufferBytes / 8);
    LV2_Atom_Forge forge = {};

    EditorPorts() {
        lv2_atom_forge_init(&forge, &table.map);
        plugin->connect(kPortInputLeft, silence.data());
        plugin->connect(kPortInputRight, silence.data());
        plugin->connect(kPortOutputLeft, left.data());
        plugin->connect(kPortOutputRight, right.data());
        plugin->connect(kPortCommands, commands.data());
        plugin->connect(kPortNotify, notify.data());
        plugin->activate();
    }

    // One block with `sent` (after a view request where asked) on the command
    // port and `room` bytes offered on notify.
    void run(const std::vector<EngineCommand>& sent, std::uint32_t room = kNotifyBufferBytes,
             bool request = false) {
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(commands.data()),
                                  commands.size() * 8);
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (request) {
            lv2_atom_forge_frame_time(&forge, 0);
            ASSERT_TRUE(forgeViewRequest(forge, uris));
        }
        for (const EngineCommand& command : sent) {
            lv2_atom_forge_frame_time(&forge, 0);
            ASSERT_TRUE(forgeCommand(forge, uris, command));
        }
        lv2_atom_forge_pop(&forge, &sequence);
        auto* out = reinterpret_cast<LV2_Atom*>(notify.data());
        out->type = uris.atomChunk;
        out->size = room - static_cast<std::uint32_t>(sizeof(LV2_Atom));
        plugin->run(kBlock);
    }

    // The views on notify after the last block; fails unless it holds a sequence.
    std::vector<EngineView> views() {
        const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(notify.data());
        EXPECT_EQ(sequence->atom.type, uris.atomSequence);
        std::vector<EngineView> found;
        LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
            EngineView view;
            EXPECT_TRUE(readView(event->body, uris, view));
            found.push_back(view);
        }
        return found;
    }
};

TEST_F(EditorPorts, ViewsGoOutOnRequestAtOnceForEditsAndParametersOnlyThroughTheirPorts) {
    ASSERT_NE(plugin, nullptr);
    run({});
    EXPECT_TRUE(views().empty()) << "no view unasked";
    run({}, kNotifyBufferBytes, true);
    ASSERT_EQ(views().size(), 1u) << "the first request is answered at once";
    const float attack = views()[0].snapshot.paramValues[0];

    // Asked again and edited: at once; a parameter command changes nothing.
    run({{EngineCommand::Kind::kSetStepValue, 3, 0, 0.25f}, {EngineCommand::Kind::kSetParameter, 0, 0, 0.9f}},
        kNotifyBufferBytes, true);
    auto shown = views();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].patternSteps[0][3], 0.25f);
    EXPECT_EQ(shown[0].snapshot.paramValues[0], attack);

    // Asked without news: once 30 ms of audio have passed since the last view.
    run({}, kNotifyBufferBytes, true);
    std::uint32_t frames = kBlock;
    for (; frames < kRate && views().empty(); frames += kBlock) {
        run({});
    }
    EXPECT_EQ(frames, (static_cast<std::uint32_t>(kRate * 0.03) + kBlock - 1) / kBlock * kBlock);
    run({});
    EXPECT_TRUE(views().empty()) << "one view per request";

    // A view that does not fit comes in the next block with the room.
    run({{EngineCommand::Kind::kSetStepValue, 4, 0, 0.5f}}, kNotifyBufferBytes / 2, true);
    EXPECT_TRUE(views().empty());
    run({});
    shown = views();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].patternSteps[0][4], 0.5f);
}

// The program port selects a program as a VST 2 host does: its stored values
// come back, and a parameter moved in the same block still wins.
TEST_F(EditorPorts, TheProgramPortSelectsStoredPrograms) {
    ASSERT_NE(plugin, nullptr);
    float program = 1.0f;
    float length = 30.0f;
    plugin->connect(kPortProgram, &program);
    plugin->connect(kPortFirstControl + static_cast<std::uint32_t>(kParamRelease), &length);
    // Without news the view comes within 30 ms of audio.
    const auto shownLength = [&] {
        run({}, kNotifyBufferBytes, true);
        for (int block = 0; block < 40; ++block) {
            if (const std::vector<EngineView> shown = views(); !shown.empty()) {
                return shown[0].snapshot.paramValues[kParamRelease];
            }
            run({});
        }
        return -1.0f;
    };
    EXPECT_FLOAT_EQ(shownLength(), 0.3f) << "program 1 keeps what its port set";
    program = 2.0f;
    EXPECT_FLOAT_EQ(shownLength(), kDefaultParams[kParamRelease]) << "program 2 as stored";
    program = 1.0f;
    EXPECT_FLOAT_EQ(shownLength(), 0.3f) << "program 1's value came back";
    program = 99.0f;
    length = 60.0f;
    EXPECT_FLOAT_EQ(shownLength(), 0.6f) << "program 16, then the port moved in the same block";
    program = NAN;
    EXPECT_FLOAT_EQ(shownLength(), 0.6f) << "a value that is no number selects nothing";
}

}  // namespace
}  // namespace tramvek::lv2
