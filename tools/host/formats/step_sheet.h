// A step sheet: a pattern written as text, one line per step, so that a bank
// can be made from a file anyone can read and diff. Each line holds
//   FROM DIRECTION PITCH GAIN LENGTH [CHANCE [REPEAT]]
// FROM the input step played (1 .. the sheet's step count), DIRECTION "fwd" or
// "rev", PITCH in semitones (-12..12), GAIN the trigger lane in % (0..100),
// LENGTH the length lane in % (0..100; 50 keeps the program's length, less
// cuts the step short, more holds it longer), CHANCE the share of plays in %
// (0..100, 100 when left out), REPEAT the hits in the step (1..8, 1 when left
// out). '#' starts a comment. The sheet has 2 to 32 steps, and the pattern
// gets that many.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tramvek {

struct SheetStep {
    int from = 1;
    bool reverse = false;
    int pitch = 0;
    float gainPercent = 100.0f;
    float lengthPercent = 50.0f;
    float chancePercent = 100.0f;
    int repeats = 1;

    bool variesPlays() const { return chancePercent != 100.0f || repeats != 1; }
};

inline constexpr std::size_t kMinSheetSteps = 2;
inline constexpr std::size_t kMaxSheetSteps = 32;

// Throws HostError naming the line that does not fit.
std::vector<SheetStep> parseStepSheet(std::string_view text);
std::vector<SheetStep> readStepSheet(const std::string& path);

// What the picture prints over an output step: "<3" for step 3 backwards,
// "3" forwards; the pitch when there is one ("+12"), else nothing.
std::string sourceLabel(const SheetStep& step);
std::string pitchLabel(const SheetStep& step);
// "x4": the hits in the step, and "75%": how often it plays; empty for one hit, always.
std::string repeatsLabel(const SheetStep& step);
std::string chanceLabel(const SheetStep& step);

}  // namespace tramvek
