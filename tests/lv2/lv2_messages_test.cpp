// The editor's messages survive the trip as atoms: every command comes back
// as sent, a full buffer takes nothing, and what is not a well-formed message
// of this build is refused.
#include <gtest/gtest.h>

#include <lv2/atom/util.h>

#include <cstring>
#include <random>
#include <vector>

#include "lv2/urid_table.h"
#include "plugin/lv2/lv2_messages.h"

namespace tramvek::lv2 {
namespace {

constexpr auto kKinds = static_cast<std::int32_t>(EngineCommand::Kind::kNewVariation) + 1;

struct Messages : ::testing::Test {
    UridTable table;
    Uris uris = mapUris(table.map);
    LV2_Atom_Forge forge = {};
    std::vector<std::uint64_t> words = std::vector<std::uint64_t>(4096);

    Messages() { lv2_atom_forge_init(&forge, &table.map); }
    const LV2_Atom& start(std::size_t bytes) {
        std::fill(words.begin(), words.end(), 0);
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(words.data()), bytes);
        return *reinterpret_cast<const LV2_Atom*>(words.data());
    }
};

TEST_F(Messages, EveryCommandComesBackAsSentAndAFullBufferTakesNone) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> number(-1000, 1000);
    std::uniform_real_distribution<float> value(-2.0f, 2.0f);
    for (int round = 0; round < 500; ++round) {
        const EngineCommand sent{static_cast<EngineCommand::Kind>(round % kKinds), number(random),
                                 number(random), value(random)};
        const LV2_Atom& atom = start(256);
        ASSERT_TRUE(forgeCommand(forge, uris, sent));
        const auto received = readCommand(atom, uris);
        ASSERT_TRUE(received);
        EXPECT_EQ(received->kind, sent.kind);
        EXPECT_EQ(received->a, sent.a);
        EXPECT_EQ(received->b, sent.b);
        EXPECT_EQ(received->value, sent.value);
        EXPECT_FALSE(isViewRequest(atom, uris));

        const std::size_t tooSmall = static_cast<std::size_t>(round % 100);
        start(tooSmall);
        EXPECT_FALSE(forgeCommand(forge, uris, sent));
        EXPECT_EQ(forge.offset, 0u) << tooSmall;
    }
}

TEST_F(Messages, AnUnknownKindOrAMissingFieldIsNoCommand) {
    const LV2_Atom& atom = start(256);
    ASSERT_TRUE(forgeCommand(forge, uris, EngineCommand{EngineCommand::Kind::kSelectBank, 1, 0, 0.0f}));
    auto* object = reinterpret_cast<LV2_Atom_Object*>(words.data());
    auto* kind = reinterpret_cast<LV2_Atom_Int*>(&lv2_atom_object_begin(&object->body)->value);
    for (const std::int32_t bad : {-1, kKinds, 1 << 30}) {
        kind->body = bad;
        EXPECT_FALSE(readCommand(atom, uris)) << bad;
    }
    // Without its last property (the value).
    kind->body = 0;
    object->atom.size -= sizeof(LV2_Atom_Property_Body) + 8;
    EXPECT_FALSE(readCommand(atom, uris));
    start(256);
    ASSERT_TRUE(forgeViewRequest(forge, uris));
    EXPECT_TRUE(isViewRequest(atom, uris));
    EXPECT_FALSE(readCommand(atom, uris));
}

TEST_F(Messages, AViewComesBackWholeAndOnlyAtThisBuildsSize) {
    EngineView sent;
    sent.snapshot.currentStep = 13;
    sent.snapshot.paramValues[3] = 0.25f;
    sent.patternSteps[2][5] = 0.75f;
    sent.waveformCount = 999;
    sent.waveformRight[998] = -0.5f;
    const LV2_Atom& atom = start(kViewMessageBytes);
    ASSERT_TRUE(forgeView(forge, uris, sent));
    EXPECT_LE(forge.offset, kViewMessageBytes);
    EngineView received;
    ASSERT_TRUE(readView(atom, uris, received));
    EXPECT_EQ(std::memcmp(&received, &sent, sizeof sent), 0);

    start(kViewMessageBytes - 8);
    EXPECT_FALSE(forgeView(forge, uris, sent));
    EXPECT_EQ(forge.offset, 0u);

    start(kViewMessageBytes);
    ASSERT_TRUE(forgeView(forge, uris, sent));
    auto* object = reinterpret_cast<LV2_Atom_Object*>(words.data());
    lv2_atom_object_begin(&object->body)->value.size -= 4;
    EngineView untouched;
    EXPECT_FALSE(readView(atom, uris, untouched));
    EXPECT_EQ(untouched.snapshot.currentStep, 0);
}

}  // namespace
}  // namespace tramvek::lv2
