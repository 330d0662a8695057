#pragma once

#include <string>
#include <string_view>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "canvas.h"

namespace tramvek::pictures {

// One TrueType face at one pixel size, rendering anti-aliased UTF-8 text.
class Typeface {
  public:
    Typeface(const std::string& fontFile, int pixelSize);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    int width(std::string_view utf8) const;
    int ascent() const;
    int lineHeight() const;
    // Draws with the baseline at `baselineY`, starting at pen position `x`; returns the end position.
    int draw(Canvas& canvas, int x, int baselineY, std::string_view utf8, Rgb ink) const;

  private:
    FT_GlyphSlot loadGlyph(char32_t character) const;

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace tramvek::pictures
