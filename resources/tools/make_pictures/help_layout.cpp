#include "help_layout.h"

#include <sstream>

namespace tramvek::pictures {

namespace {

Block parseLine(const std::string& line) {
    if (line == "|") {
        return {BlockKind::ColumnBreak, {}, {}};
    }
    if (line.rfind("= ", 0) == 0) {
        return {BlockKind::Title, {}, line.substr(2)};
    }
    if (line.rfind("## ", 0) == 0) {
        return {BlockKind::Heading, {}, line.substr(3)};
    }
    const std::size_t colon = line.find(": ");
    if (line.rfind("- ", 0) == 0 && colon != std::string::npos) {
        return {BlockKind::Entry, line.substr(2, colon - 2), line.substr(colon + 2)};
    }
    return {BlockKind::Paragraph, {}, line};
}

}  // namespace

std::vector<Block> parseManual(const std::string& manual) {
    std::vector<Block> blocks;
    std::istringstream lines(manual);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            blocks.push_back(parseLine(line));
        }
    }
    return blocks;
}

std::vector<std::vector<PlacedRun>> wrapRuns(const std::vector<PlacedRun>& runs, int width, int hangingIndent,
                                             const MeasureRun& measure) {
    std::vector<std::vector<PlacedRun>> lines(1);
    int x = 0;
    for (const PlacedRun& run : runs) {
        std::size_t start = 0;
        while (start < run.text.size()) {
            std::size_t end = run.text.find(' ', start);
            end = end == std::string::npos ? run.text.size() : end + 1;
            const std::string word = run.text.substr(start, end - start);
            const std::string visible = word.back() == ' ' ? word.substr(0, word.size() - 1) : word;
            if (x > hangingIndent && x + measure(run.bold, visible) > width) {
                lines.emplace_back();
                x = hangingIndent;
            }
            std::vector<PlacedRun>& line = lines.back();
            if (!line.empty() && line.back().bold == run.bold) {
                line.back().text += word;
            } else {
                line.push_back({run.bold, x, word});
            }
            x += measure(run.bold, word);
            start = end;
        }
    }
    return lines;
}

}  // namespace tramvek::pictures
