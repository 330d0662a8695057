#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "gui/font_table.h"

namespace tramvek {

// Text through FreeType, in the installed face fontconfig matches best to Liberation Sans,
// which stands in for "Arial" (same metrics). The decorative "Symbol" face is drawn with
// it too, with letters mapped to the Greek ones that face puts on them. Text is ANSI
// (Windows-1252).
class FontRenderer {
  public:
    struct LineMetrics {
        int32_t ascent = 0;
        int32_t descent = 0;
        int32_t height() const { return ascent + descent; }
    };

    // Called once per covered pixel, coverage 1..255, relative to the line's origin
    // (x from the start of the text, y from the top of the line cell).
    using CoverageSink = std::function<void(int32_t x, int32_t y, uint8_t coverage)>;

    // False when no font could be found (said once on standard error); text is then not drawn.
    static bool available();

    static LineMetrics metrics(const FontRequest& font);
    static int32_t textWidth(const FontRequest& font, std::string_view text);
    static void render(const FontRequest& font, std::string_view text, const CoverageSink& sink);
};

}  // namespace tramvek
