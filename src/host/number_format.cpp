// EffectBase's fixed-width number texts: 8 characters and a terminating zero.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/effect_base.h"

namespace tramvek {

namespace {

constexpr int kFieldWidth = 8;
constexpr char kHugeText[] = " Huge!  ";
constexpr char kMinusInfinityText[] = "  -oo   ";
constexpr double kPositiveLimit = 99999999.0;
constexpr double kNegativeLimit = 9999999.0;
constexpr VstInt32 kIntegerLimit = 100000000;
// The largest integer parts whose digits all fit the field; beyond them a
// leading digit would silently drop out, so the text says " Huge!  " instead.
constexpr double kPositiveIntegerPartLimit = 9999999.0;
constexpr double kNegativeIntegerPartLimit = 999999.0;

void writeFixed(const char* source, char* text) {
    std::memcpy(text, source, kFieldWidth + 1);
}

char digitOf(double n) {
    return static_cast<char>('0' + static_cast<int>(std::fmod(n, 10.0)));
}

// Every digit is truncated, never rounded: the integer part from the right,
// then as many fraction digits as the field has room for.
void formatNumber(double value, char* text) {
    const bool negative = value < 0.0;
    double v = negative ? -value : value;
    if (!(v <= (negative ? kNegativeLimit : kPositiveLimit))) {  // NaN included
        writeFixed(kHugeText, text);
        return;
    }
    double n = std::floor(v);
    if (n > (negative ? kNegativeIntegerPartLimit : kPositiveIntegerPartLimit)) {
        writeFixed(kHugeText, text);
        return;
    }

    char integerPart[kFieldWidth + 1];
    int start = kFieldWidth;  // integerPart is filled from its end
    integerPart[--start] = '.';
    integerPart[--start] = digitOf(n);
    n *= 0.1;
    int count = (negative ? 1 : 0) + 2;
    while (n >= 1.0 && count < kFieldWidth) {
        integerPart[--start] = digitOf(n);
        n *= 0.1;
        ++count;
    }
    if (negative) {
        integerPart[--start] = '-';
    }
    const int integerLength = kFieldWidth - start;
    std::memcpy(text, integerPart + start, static_cast<std::size_t>(integerLength));

    const int fractionDigits = kFieldWidth - count;
    double m = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    for (int position = kFieldWidth - 1; position >= integerLength; --position) {
        if (m > 0.0) {
            text[position] = digitOf(m);
            m *= 0.1;
        } else {
            text[position] = '0';
        }
    }
    text[kFieldWidth] = '\0';
}

}  // namespace

void EffectBase::formatFloat(float value, char* text) {
    formatNumber(static_cast<double>(value), text);
}

void EffectBase::formatDecibels(float value, char* text) {
    if (value <= 0.0f) {
        writeFixed(kMinusInfinityText, text);
        return;
    }
    formatFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::formatHertz(float samples, char* text) {
    formatFloat(samples == 0.0f ? 0.0f : getSampleRate() / samples, text);
}

// Without a sample rate there is no duration to show: 0 rather than a division by zero.
void EffectBase::formatMilliseconds(float samples, char* text) {
    const float rate = getSampleRate();
    formatFloat(rate == 0.0f ? 0.0f : samples * 1000.0f / rate, text);
}

void EffectBase::formatInteger(VstInt32 value, char* text) {
    if (value >= kIntegerLimit) {
        writeFixed(kHugeText, text);
        return;
    }
    char wide[16];
    std::snprintf(wide, sizeof wide, "%7d", static_cast<int>(value));
    std::memcpy(text, wide, kFieldWidth);
    text[kFieldWidth] = '\0';
}

}  // namespace tramvek
