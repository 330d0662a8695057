#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tramvek::pictures {

// The manual's plain-text form, one block per line:
//   "= text"        the title, centred over both columns
//   "## text"       a heading in bold
//   "- Term: text"  an entry, the term in bold, continuation lines indented
//   "|"             the start of the second column
//   anything else   a paragraph
enum class BlockKind { Title, Heading, Entry, Paragraph, ColumnBreak };

struct Block {
    BlockKind kind;
    std::string term;  // entries only, without the colon
    std::string text;
};

std::vector<Block> parseManual(const std::string& manual);

// One run of text in one weight, placed on a line at a pen position.
struct PlacedRun {
    bool bold;
    int x;
    std::string text;
};

// Breaks `runs` (their x is ignored) into lines no wider than `width` (a single word wider than the
// line stays whole). `measure(bold, text)` gives a run's width in pixels.
using MeasureRun = std::function<int(bool bold, const std::string& text)>;
std::vector<std::vector<PlacedRun>> wrapRuns(const std::vector<PlacedRun>& runs, int width, int hangingIndent,
                                             const MeasureRun& measure);

}  // namespace tramvek::pictures
