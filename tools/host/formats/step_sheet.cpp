#include "formats/step_sheet.h"

#include <sstream>

#include "formats/file_io.h"
#include "host_error.h"

namespace tramvek {
namespace {

bool inUnit(float value) {
    return value >= 0.0f && value <= 1.0f;
}

SheetStep parseLine(const std::string& line, int number) {
    std::istringstream fields(line);
    SheetStep step;
    std::string direction;
    std::string rest;
    const bool read =
        static_cast<bool>(fields >> step.from >> direction >> step.pitch >> step.gain >> step.length);
    if (!read || (fields >> rest) || (direction != "fwd" && direction != "rev") || step.from < 1 ||
        step.from > static_cast<int>(kMaxSheetSteps) || step.pitch < -12 || step.pitch > 12 ||
        !inUnit(step.gain) || !inUnit(step.length)) {
        throw HostError("step sheet line " + std::to_string(number) +
                        ": expected FROM(1..32) fwd|rev PITCH(-12..12) GAIN(0..1) LENGTH(0..1), got '" +
                        line + "'");
    }
    step.reverse = direction == "rev";
    return step;
}

}  // namespace

std::vector<SheetStep> parseStepSheet(std::string_view text) {
    std::vector<SheetStep> steps;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        steps.push_back(parseLine(line, number));
        if (steps.size() > kMaxSheetSteps) {
            throw HostError("step sheet: more than " + std::to_string(kMaxSheetSteps) + " steps");
        }
    }
    if (steps.empty()) {
        throw HostError("step sheet: no steps");
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

std::string sourceLabel(const SheetStep& step) {
    return (step.reverse ? "<" : "") + std::to_string(step.from);
}

std::string pitchLabel(const SheetStep& step) {
    if (step.pitch == 0) {
        return "";
    }
    return (step.pitch > 0 ? "+" : "") + std::to_string(step.pitch);
}

}  // namespace tramvek
