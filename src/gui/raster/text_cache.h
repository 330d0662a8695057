#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/font_table.h"

namespace tramvek {

// Lines of text as the font renderer draws them, kept for reuse: the editor
// draws the same few dozen numbers and captions on every redraw, and running
// each glyph through the font's hinting again costs far more than blending a
// stored coverage map. Safe to use from any thread.
class TextCache {
  public:
    struct Ink {
        int32_t x;
        int32_t y;
        uint8_t coverage;
    };
    struct Line {
        // The renderer's line height and advance width.
        int32_t height = 0;
        int32_t width = 0;
        // Covered pixels relative to the line's origin, as the renderer reports them.
        std::vector<Ink> ink;
    };

    // The line for `text` in `font`, rendered on first use.
    static std::shared_ptr<const Line> line(const FontRequest& font, std::string_view text);
};

}  // namespace tramvek
