#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "params/editor_spy.h"
#include "params/parameter_table.h"
#include "support/engine_state_access.h"

namespace tramvek {
namespace {

class Parameters : public ::testing::Test {
  protected:
    std::unique_ptr<SlicerPlugin> effect = std::make_unique<SlicerPlugin>(nullptr);
};

TEST_F(Parameters, PitchMapsToWholeSemitonesFlooredFromTheBottom) {
    const struct {
        float value;
        std::int32_t semitones;
    } cases[] = {{0.0f, -12}, {0.5f, 0}, {1.0f, 12}, {0.45f, -2}, {0.55f, 1}, {0.04f, -12}, {0.96f, 11}};
    for (const auto& c : cases) {
        effect->setParameter(6, c.value);
        EXPECT_EQ(stateOf(*effect).basePitch, c.semitones) << "value " << c.value;
    }
}

TEST_F(Parameters, PitchFromValuesFarOutsideTheRangeStaysWithinAnOctave) {
    const float cases[] = {
        1.5f, -0.7f, 1e30f, -1e30f, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()};
    for (float value : cases) {
        effect->setParameter(6, value);
        EXPECT_GE(stateOf(*effect).basePitch, -12) << value;
        EXPECT_LE(stateOf(*effect).basePitch, 12) << value;
    }
    effect->setParameter(6, 2.0f);
    EXPECT_EQ(stateOf(*effect).basePitch, 12);
    effect->setParameter(6, -1.0f);
    EXPECT_EQ(stateOf(*effect).basePitch, -12);
}

TEST_F(Parameters, EachIndexDrivesItsOwnEngineValue) {
    effect->setParameter(2, 0.5f);
    EXPECT_FLOAT_EQ(stateOf(*effect).cutoffSq, 0.25f);
    effect->setParameter(1, 0.8f);
    EXPECT_FLOAT_EQ(stateOf(*effect).lengthSq, 0.64f);
    effect->setParameter(0, 0.3f);
    EXPECT_FLOAT_EQ(stateOf(*effect).attackSq, 0.09f);
    effect->setParameter(3, 0.25f);
    EXPECT_EQ(stateOf(*effect).resonance, 0.25f);
    effect->setParameter(4, 0.75f);
    EXPECT_EQ(stateOf(*effect).shape, 0.75f);
    effect->setParameter(5, 0.125f);
    EXPECT_EQ(stateOf(*effect).dryWet, 0.125f);
    effect->setParameter(7, 0.625f);
    EXPECT_EQ(stateOf(*effect).keepBuffer, 0.625f);
    const float expected[] = {0.3f, 0.8f, 0.5f, 0.25f, 0.75f, 0.125f, 0.5f, 0.625f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(effect->getParameter(i), expected[i]) << i;
        EXPECT_EQ(stateOf(*effect).programs[0].params[i], expected[i]) << i;
    }
}

TEST_F(Parameters, AttackAndLengthRecomputeTheHoldLength) {
    stateOf(*effect).stepSamples = 10000;
    effect->setParameter(1, 1.0f);
    EXPECT_EQ(stateOf(*effect).holdSamples, 9200);  // (1.0 + 0) * (10000 - 900) + 100
    effect->setParameter(1, 0.5f);
    EXPECT_EQ(stateOf(*effect).holdSamples, 2375);  // 0.25 * 9100 + 100
    stateOf(*effect).holdSamples = 0;
    effect->setParameter(0, 0.5f);
    EXPECT_EQ(stateOf(*effect).holdSamples, 2375);
}

TEST_F(Parameters, ValuesOutsideTheUnitRangeAreStoredAndMappedUnclamped) {
    effect->setParameter(3, 1.5f);
    EXPECT_EQ(effect->getParameter(3), 1.5f);
    EXPECT_EQ(stateOf(*effect).resonance, 1.5f);
    effect->setParameter(2, -2.0f);
    EXPECT_EQ(effect->getParameter(2), -2.0f);
    EXPECT_EQ(stateOf(*effect).cutoffSq, 4.0f);
}

TEST_F(Parameters, NonFiniteValuesChangeNothing) {
    effect->setParameter(2, 0.5f);
    effect->setParameter(6, 0.75f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        effect->setParameter(2, bad);
        effect->setParameter(6, bad);
        EXPECT_EQ(effect->getParameter(2), 0.5f);
        EXPECT_EQ(stateOf(*effect).programs[0].params[2], 0.5f);
        EXPECT_EQ(stateOf(*effect).cutoffSq, 0.25f);
        EXPECT_EQ(stateOf(*effect).basePitch, 6);
    }
}

TEST_F(Parameters, MidiLearnStoresTheValueButKeepsTheSound) {
    effect->setParameter(2, 0.5f);
    effect->engine().toggleMidiLearn();
    effect->setParameter(2, 0.3f);
    EXPECT_EQ(effect->getParameter(2), 0.3f);
    EXPECT_EQ(stateOf(*effect).programs[0].params[2], 0.3f);
    EXPECT_EQ(stateOf(*effect).cutoffSq, 0.25f);
}

TEST_F(Parameters, IndexesOutsideTheSetAreIgnoredButStillNotifyTheEditor) {
    testing::EditorWatch watch(*effect);
    float before[8];
    std::memcpy(before, stateOf(*effect).paramValues, sizeof before);
    effect->setParameter(9, 0.5f);
    effect->setParameter(-1, 0.5f);
    EXPECT_EQ(std::memcmp(before, stateOf(*effect).paramValues, sizeof stateOf(*effect).paramValues), 0);
    EXPECT_EQ(watch.postUpdates, 2);
    EXPECT_TRUE(watch.panelRedraw.load());
    EXPECT_EQ(effect->getParameter(8), 0.0f);
    EXPECT_EQ(effect->getParameter(-1), 0.0f);
}

TEST_F(Parameters, NamesLabelsAndDisplayTexts) {
    const char* names[] = {"attack", "release", "cutoff", "reso", "shape", "dry/wet", "pitch", "keepbuffer"};
    for (int i = 0; i < 8; ++i) {
        char name[32] = {};
        char label[32] = {};
        effect->getParamName(i, name);
        effect->getParamLabel(i, label);
        EXPECT_STREQ(name, names[i]);
        EXPECT_STREQ(label, names[i]);
    }
    char text[32] = {};
    effect->getParamDisplay(1, text);
    EXPECT_STREQ(text, "0.800000");
    effect->getParamDisplay(5, text);
    EXPECT_STREQ(text, "1.000000");
    effect->setParameter(0, 0.7f);
    effect->getParamDisplay(0, text);
    EXPECT_STREQ(text, "0.699999");

    char untouched[32] = "keep";
    effect->getParamName(8, untouched);
    effect->getParamLabel(-1, untouched);
    effect->getParamDisplay(8, untouched);
    EXPECT_STREQ(untouched, "keep");
}

// Every format shows the same numbers: each display unit has a value that
// shows as it, through the text too, and the editor's formula agrees.
TEST(ParameterFacts, EveryDisplayUnitRoundTripsThroughValueAndText) {
    for (std::int32_t index = 0; index < kParameterCount; ++index) {
        const ParameterFacts& facts = kParameterFacts[index];
        EXPECT_EQ(displayUnits(index, 0.0f), facts.displayMinimum) << facts.symbol;
        EXPECT_EQ(displayUnits(index, 1.0f), facts.displayMaximum) << facts.symbol;
        for (std::int32_t units = facts.displayMinimum; units <= facts.displayMaximum; ++units) {
            const float value = valueForDisplayUnits(index, units);
            ASSERT_GE(value, 0.0f);
            ASSERT_LE(value, 1.0f);
            ASSERT_EQ(displayUnits(index, value), units) << facts.symbol << " " << units;
            char text[12] = {};
            displayText(index, value, text);
            float parsed = -1.0f;
            ASSERT_TRUE(valueFromText(index, text, parsed)) << text;
            ASSERT_EQ(parsed, value) << facts.symbol << " " << text;
        }
        if (index == kParamPitch) {
            EXPECT_EQ(displayUnits(index, 0.45f), basePitchFor(0.45f));
        }
        float untouched = 0.25f;
        EXPECT_FALSE(valueFromText(index, "loud", untouched));
        EXPECT_EQ(untouched, 0.25f);
        EXPECT_TRUE(valueFromText(index, "99999", untouched));
        EXPECT_EQ(displayUnits(index, untouched), facts.displayMaximum);
        for (const char* c = facts.symbol; *c != 0; ++c) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(*c)) || *c == '_') << facts.symbol;
        }
        for (std::int32_t other = 0; other < index; ++other) {
            EXPECT_STRNE(kParameterFacts[other].symbol, facts.symbol);
        }
    }
}

// A host that announces its rate and then gives no time information runs at
// that rate, not at the fallback.
TEST(SampleRate, AnnouncedRateDrivesBlocksWithoutTimeInformation) {
    SlicerPlugin effect(nullptr);
    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    std::vector<float> in(64, 0.0f);
    std::vector<float> out(64, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    effect.processReplacing(inputs, outputs, 64);
    EXPECT_EQ(stateOf(effect).hostSampleRate, 48000);
}

}  // namespace
}  // namespace tramvek
