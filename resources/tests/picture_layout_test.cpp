#include <gtest/gtest.h>

#include "help_layout.h"
#include "utf8.h"

namespace tramvek::pictures {
namespace {

// Every character is 5 pixels wide, bold ones 6.
int measure(bool bold, const std::string& text) {
    return static_cast<int>(text.size()) * (bold ? 6 : 5);
}

int lineEnd(const std::vector<PlacedRun>& line) {
    std::string last = line.back().text;
    while (!last.empty() && last.back() == ' ') {
        last.pop_back();
    }
    return line.back().x + measure(line.back().bold, last);
}

TEST(WrapRuns, KeepsEveryLineInsideTheWidthAndIndentsContinuations) {
    const std::vector<PlacedRun> runs{{true, 0, "Term: "},
                                      {false, 0, "one two three four five six seven eight"}};
    const auto lines = wrapRuns(runs, 60, 10, measure);
    ASSERT_GE(lines.size(), 3U);
    EXPECT_EQ(lines[0][0].x, 0);
    EXPECT_TRUE(lines[0][0].bold);
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lineEnd(lines[i]), 60) << "line " << i;
        if (i > 0) {
            EXPECT_EQ(lines[i][0].x, 10) << "line " << i;
        }
        for (const auto& run : lines[i]) {
            all += run.text;
        }
    }
    EXPECT_EQ(all, "Term: one two three four five six seven eight");
}

TEST(WrapRuns, LeavesAWordWiderThanTheLineWholeOnItsOwnLine) {
    const auto lines = wrapRuns({{false, 0, "a extraordinarily b"}}, 30, 0, measure);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1][0].text, "extraordinarily ");
}

TEST(DecodeUtf8, DecodesMultiByteCharactersAndKeepsStrayBytes) {
    EXPECT_EQ(decodeUtf8("\xC2\xB1"
                         "12 \xC2\xB7"),
              U"\u00B112 \u00B7");
    EXPECT_EQ(decodeUtf8("a\xB1"
                         "b"),
              U"a\u00B1b");
    EXPECT_EQ(decodeUtf8("\xE2\x86"), U"\u00E2\u0086");  // cut short
}

}  // namespace
}  // namespace tramvek::pictures
