#include "formats/step_sheet.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "engine/engine_counts.h"
#include "formats/file_io.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr int kMaxSemitones = 12;

bool isPercent(float value) {
    return value >= 0.0f && value <= 100.0f;
}

struct NumberedStep {
    SheetStep step;
    int line = 0;
};

std::string lineError(int number, const std::string& what) {
    return "step sheet line " + std::to_string(number) + ": " + what;
}

// The optional columns after LENGTH; a line without them keeps the defaults.
bool readVariation(std::istringstream& fields, SheetStep& step) {
    float chance = 0.0f;
    int repeats = 0;
    std::string rest;
    if (!(fields >> chance)) {
        return fields.eof();
    }
    step.chancePercent = chance;
    if (!(fields >> repeats)) {
        return fields.eof();
    }
    step.repeats = repeats;
    return !(fields >> rest);
}

SheetStep parseLine(const std::string& line, int number) {
    std::istringstream fields(line);
    SheetStep step;
    std::string direction;
    const bool read = static_cast<bool>(fields >> step.from >> direction >> step.pitch >> step.gainPercent >>
                                        step.lengthPercent) &&
                      readVariation(fields, step);
    if (!read || (direction != "fwd" && direction != "rev") || step.from < 1 || step.pitch < -kMaxSemitones ||
        step.pitch > kMaxSemitones || !isPercent(step.gainPercent) || !isPercent(step.lengthPercent) ||
        !isPercent(step.chancePercent) || step.repeats < 1 || step.repeats > EngineCounts::kMaxRepeats) {
        throw HostError(lineError(number,
                                  "expected FROM fwd|rev PITCH(-12..12) GAIN(0..100 %) LENGTH(0..100 %) "
                                  "[CHANCE(0..100 %) [REPEAT(1..8)]], got '" +
                                      line + "'"));
    }
    step.reverse = direction == "rev";
    return step;
}

// A step can only play a slice the pattern records.
void checkSources(const std::vector<NumberedStep>& numbered) {
    for (const NumberedStep& entry : numbered) {
        if (entry.step.from > static_cast<int>(numbered.size())) {
            throw HostError(lineError(entry.line, "FROM " + std::to_string(entry.step.from) +
                                                      " lies beyond the sheet's " +
                                                      std::to_string(numbered.size()) + " steps"));
        }
    }
}

}  // namespace

std::vector<SheetStep> parseStepSheet(std::string_view text) {
    std::vector<NumberedStep> numbered;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        if (numbered.size() == kMaxSheetSteps) {
            throw HostError(lineError(number, "more than " + std::to_string(kMaxSheetSteps) + " steps"));
        }
        numbered.push_back({parseLine(line, number), number});
    }
    if (numbered.size() < kMinSheetSteps) {
        throw HostError("step sheet: fewer than " + std::to_string(kMinSheetSteps) + " steps");
    }
    checkSources(numbered);
    std::vector<SheetStep> steps;
    for (const NumberedStep& entry : numbered) {
        steps.push_back(entry.step);
    }
    return steps;
}

std::vector<SheetStep> readStepSheet(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path, "step sheet");
    try {
        return parseStepSheet({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    } catch (const HostError& e) {
        throw HostError(path + ": " + e.what());
    }
}

// Appended, not prefixed: GCC 12 at -O3 warns falsely about "x" + std::string.
std::string sourceLabel(const SheetStep& step) {
    std::string label = step.reverse ? "<" : "";
    label += std::to_string(step.from);
    return label;
}

// Formatted, not concatenated: GCC 12 at -O3 misreads `"x" + std::to_string(n)`
// as an overlapping copy.
std::string repeatsLabel(const SheetStep& step) {
    char text[16] = "";
    if (step.repeats != 1) {
        std::snprintf(text, sizeof text, "x%d", step.repeats);
    }
    return text;
}

std::string chanceLabel(const SheetStep& step) {
    char text[16] = "";
    if (step.chancePercent != 100.0f) {
        std::snprintf(text, sizeof text, "%ld%%", std::lround(step.chancePercent));
    }
    return text;
}

std::string pitchLabel(const SheetStep& step) {
    if (step.pitch == 0) {
        return "";
    }
    std::string label = step.pitch > 0 ? "+" : "";
    label += std::to_string(step.pitch);
    return label;
}

}  // namespace tramvek
