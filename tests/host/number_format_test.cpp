#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "host/test_effect.h"

namespace tramvek::testing {
namespace {

// Fills the buffer first so that a missing terminator or a short text shows.
class NumberText : public ::testing::Test {
  protected:
    std::string text(void (EffectBase::*format)(float, char*), float value) {
        std::memset(buffer, '#', sizeof buffer);
        (fx.*format)(value, buffer);
        EXPECT_EQ(buffer[8], '\0') << value;
        EXPECT_EQ(buffer[9], '#') << "wrote past the 9-byte field for " << value;
        return buffer;
    }
    std::string floatText(float value) { return text(&EffectBase::formatFloat, value); }
    std::string integerText(VstInt32 value) {
        std::memset(buffer, '#', sizeof buffer);
        fx.formatInteger(value, buffer);
        EXPECT_EQ(buffer[9], '#') << value;
        return buffer;
    }

    TestEffect fx;
    char buffer[16];
};

TEST_F(NumberText, FloatExamples) {
    EXPECT_EQ(floatText(0.8f), "0.800000");
    EXPECT_EQ(floatText(0.5f), "0.500000");
    EXPECT_EQ(floatText(1.0f), "1.000000");
    EXPECT_EQ(floatText(0.0f), "0.000000");
    EXPECT_EQ(floatText(10.0f), "10.00000");
    EXPECT_EQ(floatText(-0.5f), "-0.50000");
    EXPECT_EQ(floatText(0.7f), "0.699999");  // digits are truncated, never rounded
    EXPECT_EQ(floatText(-0.0f), "0.000000");
}

TEST_F(NumberText, FloatKeepsLeadingZerosOfTheFraction) {
    EXPECT_EQ(floatText(0.05f), "0.050000");
    EXPECT_EQ(floatText(1.5f), "1.500000");
    EXPECT_EQ(floatText(123.25f), "123.2500");
    EXPECT_EQ(floatText(-12.5f), "-12.5000");
}

TEST_F(NumberText, FloatIsEightCharactersUpToItsLimits) {
    EXPECT_EQ(floatText(9999999.0f), "9999999.");
    EXPECT_EQ(floatText(1234567.0f), "1234567.");
    EXPECT_EQ(floatText(-999999.0f), "-999999.");
    for (float value : {0.001f, 3.14159f, 99.99f, 65432.1f, -7.25f, -54321.5f}) {
        EXPECT_EQ(floatText(value).size(), 8u) << value;
    }
}

TEST_F(NumberText, FloatOutOfRange) {
    EXPECT_EQ(floatText(100000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(-10000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), " Huge!  ");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), " Huge!  ");
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), " Huge!  ");
}

TEST_F(NumberText, FloatNeverDropsALeadingDigit) {
    // More integer digits than the field holds would show a wrong number.
    EXPECT_EQ(floatText(12345678.0f), " Huge!  ");
    EXPECT_EQ(floatText(10000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(-1000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(-9999999.0f), " Huge!  ");
}

TEST_F(NumberText, Decibels) {
    EXPECT_EQ(text(&EffectBase::formatDecibels, 0.0f), "  -oo   ");
    EXPECT_EQ(text(&EffectBase::formatDecibels, -1.0f), "  -oo   ");
    EXPECT_EQ(text(&EffectBase::formatDecibels, 1.0f), "0.000000");
    EXPECT_EQ(text(&EffectBase::formatDecibels, 10.0f), "20.00000");
    EXPECT_EQ(text(&EffectBase::formatDecibels, 0.5f), "-6.02059");
}

TEST_F(NumberText, HertzAndMilliseconds) {
    EXPECT_EQ(text(&EffectBase::formatHertz, 0.0f), "0.000000");
    EXPECT_EQ(text(&EffectBase::formatHertz, 441.0f), "100.0000");
    EXPECT_EQ(text(&EffectBase::formatMilliseconds, 441.0f), "10.00000");
    fx.setSampleRate(48000.0f);
    EXPECT_EQ(text(&EffectBase::formatMilliseconds, 24000.0f), "500.0000");
    EXPECT_EQ(text(&EffectBase::formatHertz, 480.0f), "100.0000");
}

TEST_F(NumberText, MillisecondsWithoutSampleRateShowZero) {
    fx.setSampleRate(0.0f);
    EXPECT_EQ(text(&EffectBase::formatMilliseconds, 441.0f), "0.000000");
    EXPECT_EQ(text(&EffectBase::formatHertz, 441.0f), "0.000000");
}

TEST_F(NumberText, Integers) {
    EXPECT_EQ(integerText(42), "     42");
    EXPECT_EQ(integerText(-5), "     -5");
    EXPECT_EQ(integerText(0), "      0");
    EXPECT_EQ(integerText(99999999), "99999999");
    EXPECT_EQ(integerText(100000000), " Huge!  ");
    EXPECT_EQ(integerText(std::numeric_limits<VstInt32>::max()), " Huge!  ");
    EXPECT_EQ(integerText(-123456789), "-1234567");  // cut after 8 characters
    EXPECT_EQ(integerText(std::numeric_limits<VstInt32>::min()), "-2147483");
}

}  // namespace
}  // namespace tramvek::testing
