// The eight automatable parameters: their order, names and default values,
// and how a value maps to the base pitch.
#pragma once

#include <cstdint>

namespace tramvek {

inline constexpr std::int32_t kParameterCount = 8;

enum ParamIndex : std::int32_t {
    kParamAttack = 0,
    kParamRelease = 1,
    kParamCutoff = 2,
    kParamReso = 3,
    kParamShape = 4,
    kParamDryWet = 5,
    kParamPitch = 6,
    kParamKeepBuffer = 7,
};

inline constexpr float kDefaultParams[kParameterCount] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};

// What every plug-in format shows of a parameter, so that all show the same.
// Values travel normalised (0..1); the user sees them as whole display
// units: percent, or semitones for the base pitch.
struct ParameterFacts {
    const char* name;     // as VST 2 hosts list it
    const char* caption;  // as the editor labels its knob
    const char* symbol;   // an identifier valid in every format
    const char* unit;
    std::int32_t displayMinimum;
    std::int32_t displayMaximum;
};

inline constexpr ParameterFacts kParameterFacts[kParameterCount] = {
    {"attack", "Attack", "attack", "%", 0, 100},
    {"release", "Length", "release", "%", 0, 100},
    {"cutoff", "Cutoff", "cutoff", "%", 0, 100},
    {"reso", "Reso", "reso", "%", 0, 100},
    {"shape", "Shape", "shape", "%", 0, 100},
    {"dry/wet", "Dry/Wet", "dry_wet", "%", 0, 100},
    {"pitch", "B-Pitch", "pitch", "semitones", -12, 12},
    {"keepbuffer", "KeepBuffer", "keep_buffer", "%", 0, 100},
};

inline bool isParamIndex(std::int32_t index) {
    return index >= 0 && index < kParameterCount;
}

// -12 - trunc(-24 v) semitones, i.e. floor(24 v) - 12 for v in 0..1, held
// at -12..12 for values a host sends outside 0..1.
std::int32_t basePitchFor(float value);

// The whole display units a value shows as (the value held at 0..1 first, as
// the editor shows it), and the value that shows as `units` (held in range).
std::int32_t displayUnits(std::int32_t index, float value);
float valueForDisplayUnits(std::int32_t index, std::int32_t units);
// "80", "-12": the display units as text, at most 11 characters and a zero.
void displayText(std::int32_t index, float value, char* text);
// False when `text` holds no whole number; `value` is then left alone.
bool valueFromText(std::int32_t index, const char* text, float& value);

}  // namespace tramvek
