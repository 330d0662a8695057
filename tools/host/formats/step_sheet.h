// A step sheet: a pattern written as text, one line per step, so that a bank
// can be made from a file anyone can read and diff. Each line holds
//   FROM DIRECTION PITCH GAIN LENGTH
// FROM the input step played (1-based), DIRECTION "fwd" or "rev", PITCH in
// semitones (-12..12), GAIN 0..1, LENGTH the length lane 0..1 (0.5 plays the
// whole step, less cuts it short). '#' starts a comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tramvek {

struct SheetStep {
    int from = 1;
    bool reverse = false;
    int pitch = 0;
    float gain = 1.0f;
    float length = 0.5f;
};

inline constexpr std::size_t kMaxSheetSteps = 32;

// Throws HostError naming the line that does not fit.
std::vector<SheetStep> parseStepSheet(std::string_view text);
std::vector<SheetStep> readStepSheet(const std::string& path);

// What the picture prints under an output step: "<3" for step 3 backwards,
// then the pitch when there is one ("+12").
std::string sourceLabel(const SheetStep& step);
std::string pitchLabel(const SheetStep& step);

}  // namespace tramvek
