// The transcendental functions that feed the pitch table and the filter must
// give the same bits on every build: they are checked here against values
// computed independently at 200-bit precision.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/low_pass.h"
#include "engine/portable_math.h"
#include "engine_rig.h"

namespace tramvek::test {
namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Within two units in the last place of a double.
void expectClose(double actual, double reference) {
    EXPECT_NEAR(actual, reference, std::fabs(reference) * 4.5e-16) << reference;
}

TEST(PortableMath, ExpMatchesHighPrecisionValues) {
    const struct {
        double x;
        double value;
    } cases[] = {{-20.5, 1.250152866386742628937553e-9}, {-1.0, 0.3678794411714423215955238},
                 {-0.3, 0.7408182206817178742916082},    {0.0, 1.0},
                 {1e-05, 1.000010000050000166667901},    {0.5, 1.648721270700128146848651},
                 {1.0, 2.718281828459045235360287},      {3.7, 40.44730436006739771377876},
                 {30.25, 13721704977464.90531067621},    {700.0, 1.01423205473500450945533e+304}};
    for (const auto& c : cases) {
        expectClose(portableExp(c.x), c.value);
    }
    EXPECT_EQ(portableExp(800.0), INFINITY);
    EXPECT_EQ(portableExp(-800.0), 0.0);
}

TEST(PortableMath, SinhMatchesHighPrecisionValuesOnBothSidesOfTheSeriesLimit) {
    const struct {
        double x;
        double value;
    } cases[] = {{1e-06, 0.000001000000000000166621414779}, {0.02772588722, 0.02772943961949175987520872},
                 {0.2, 0.2013360025410939989505842},        {0.999, 1.173658700352451881691632},
                 {1.0, 1.175201193643801456882382},         {2.5, 6.050204481039787321450324},
                 {9.0, 4051.541902082789960515224},         {-0.7, -0.7585837018395334477191735}};
    for (const auto& c : cases) {
        expectClose(portableSinh(c.x), c.value);
    }
}

TEST(PortableMath, SinAndCosMatchHighPrecisionValuesInEveryQuadrant) {
    const struct {
        double x;
        double sin;
        double cos;
    } cases[] = {{0.0001, 0.00009999999983333333820884025, 0.9999999950000000041666662},
                 {0.0013, 0.001299999633833364214740985, 0.9999991550001190041600403},
                 {0.1, 0.09983341664682815783019687, 0.9950041652780257655413752},
                 {0.7853981, 0.7071067363577804851829936, 0.7071068260153117215893436},
                 {1.0, 0.8414709848078965066525023, 0.5403023058681397174009366},
                 {1.4303, 0.9901466152635954292867974, 0.1400345681681688582302341},
                 {2.0, 0.9092974268256816953960199, -0.4161468365471423869975682},
                 {2.8274, 0.3090487482971826981411667, -0.9510461982343153314836131},
                 {3.0, 0.1411200080598672221007448, -0.9899924966004454572715728},
                 {6.0, -0.2794154981989258728115554, 0.9601702866503660205456523},
                 {100.0, -0.5063656411097587936565576, 0.8623188722876839341019385}};
    for (const auto& c : cases) {
        // Absolute error for values near zero, relative elsewhere.
        EXPECT_NEAR(portableSin(c.x), c.sin, std::fmax(std::fabs(c.sin), 1.0) * 4.5e-16) << c.x;
        EXPECT_NEAR(portableCos(c.x), c.cos, std::fmax(std::fabs(c.cos), 1.0) * 4.5e-16) << c.x;
    }
}

TEST(PortableMath, PitchTableHoldsTheCorrectlyRoundedRatios) {
    const std::uint32_t expected[SlicerEngine::kPitchRatioCount] = {
        0x3E800000u, 0x3E879C7Du, 0x3E8FACD6u, 0x3E9837F0u, 0x3EA14518u, 0x3EAADC08u, 0x3EB504F3u,
        0x3EBFC887u, 0x3ECB2FF5u, 0x3ED744FDu, 0x3EE411F0u, 0x3EF1A1BFu, 0x3F000000u, 0x3F079C7Du,
        0x3F0FACD6u, 0x3F1837F0u, 0x3F214518u, 0x3F2ADC08u, 0x3F3504F3u, 0x3F3FC887u, 0x3F4B2FF5u,
        0x3F5744FDu, 0x3F6411F0u, 0x3F71A1BFu, 0x3F800000u, 0x3F879C7Du, 0x3F8FACD6u, 0x3F9837F0u,
        0x3FA14518u, 0x3FAADC08u, 0x3FB504F3u, 0x3FBFC887u, 0x3FCB2FF5u, 0x3FD744FDu, 0x3FE411F0u,
        0x3FF1A1BFu, 0x40000000u, 0x40079C7Du, 0x400FACD6u, 0x401837F0u, 0x40214518u, 0x402ADC08u,
        0x403504F3u, 0x403FC887u, 0x404B2FF5u, 0x405744FDu, 0x406411F0u, 0x4071A1BFu, 0x40800000u,
        0x40879C7Du};
    EngineRig rig;
    for (std::int32_t i = 0; i < SlicerEngine::kPitchRatioCount; ++i) {
        EXPECT_EQ(bitsOf(stateOf(*rig.effect).pitchRatios[i]), expected[i]) << "entry " << i;
    }
}

TEST(PortableMath, FilterCoefficientsAreTheCorrectlyRoundedCookbookValues) {
    const struct {
        float cutoff;
        float resonance;
        std::int32_t sampleRate;
        std::uint32_t coefficients[5];  // b0, b1, b2, a1, a2 over a0
    } cases[] = {
        {1.0f, 0.0f, 44100, {0x3E912CB3u, 0x3F112CB3u, 0x3E912CB3u, 0xBE3CDFB5u, 0x3EA322A5u}},
        {0.25f, 0.5f, 44100, {0x3CF85FC7u, 0x3D785FC7u, 0x3CF85FC7u, 0xBFE02533u, 0x3F5F565Eu}},
        {0.0f, 1.0f, 48000, {0x36E5F1CDu, 0x3765F1CDu, 0x36E5F1CDu, 0xBFFFF597u, 0x3F7FECF9u}},
        {0.5f, 0.75f, 96000, {0x3CD542E2u, 0x3D5542E2u, 0x3CD542E2u, 0xBFE9E462u, 0x3F6E7120u}},
        // The corner held below Nyquist at a low rate.
        {1.0f, 1.0f, 11025, {0x3F67665Fu, 0x3FE7665Fu, 0x3F67665Fu, 0x3FE19856u, 0x3F5A68CEu}},
        {0.0625f, 0.25f, 44100, {0x3B0F4D03u, 0x3B8F4D03u, 0x3B0F4D03u, 0xBFF87E69u, 0x3F733A06u}},
    };
    for (const auto& c : cases) {
        const BiquadCoefficients filter = lowPassCoefficients(c.cutoff, c.resonance, c.sampleRate);
        const float actual[5] = {filter.b0, filter.b1, filter.b2, filter.a1, filter.a2};
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(bitsOf(actual[k]), c.coefficients[k]) << "cutoff " << c.cutoff << " coefficient " << k;
        }
    }
}

}  // namespace
}  // namespace tramvek::test
