#include "gui/raster/font_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>

#include "gui/raster/font_lookup.h"

namespace tramvek {

namespace {

// The face the editor's text is drawn in; fontconfig picks the nearest installed one.
constexpr const char* kFamily = "Liberation Sans";

// Windows-1252 characters 0x80..0x9F; 0 where the code page has none.
constexpr std::array<char32_t, 32> cp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The Greek letters the decorative symbol face shows for 'A'..'Z' and 'a'..'z'.
constexpr std::u32string_view symbolUpper = U"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
constexpr std::u32string_view symbolLower = U"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";

class FaceCache {
  public:
    FaceCache() {
        if (FT_Init_FreeType(&library_) == 0) {
            const FontFiles files = findFontFiles(kFamily);
            for (size_t style = 0; style < files.size(); ++style) {
                faces_[style] = openFace(files[style]);
            }
        } else {
            library_ = nullptr;
        }
        // Said once: the editor still works, only without text.
        if (faces_[0] == nullptr) {
            std::cerr << "tramvek: no font for the editor's text (fontconfig finds nothing like \"" << kFamily
                      << "\"; Debian's fonts-liberation2 has it): text is not drawn\n";
        }
    }
    ~FaceCache() {
        for (FT_Face face : faces_) {
            if (face != nullptr) {
                FT_Done_Face(face);
            }
        }
        if (library_ != nullptr) {
            FT_Done_FreeType(library_);
        }
    }
    FaceCache(const FaceCache&) = delete;
    FaceCache& operator=(const FaceCache&) = delete;

    // The face for the request at its pixel size, or null.
    FT_Face face(const FontRequest& font) {
        const size_t style = (font.bold ? 1u : 0u) + (font.italic ? 2u : 0u);
        FT_Face chosen = faces_[style] != nullptr ? faces_[style] : faces_[0];
        if (chosen == nullptr ||
            FT_Set_Pixel_Sizes(chosen, 0, static_cast<FT_UInt>(std::max(font.height, 1))) != 0) {
            return nullptr;
        }
        return chosen;
    }

  private:
    FT_Face openFace(const std::optional<FontFile>& file) {
        FT_Face face = nullptr;
        if (file && FT_New_Face(library_, file->path.c_str(), file->index, &face) == 0) {
            return face;
        }
        return nullptr;
    }

    FT_Library library_ = nullptr;
    std::array<FT_Face, 4> faces_{};
};

FaceCache& faceCache() {
    static FaceCache cache;
    return cache;
}

char32_t codePoint(const FontRequest& font, char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (font.decorative) {
        if (value >= 'A' && value <= 'Z') {
            return symbolUpper[value - 'A'];
        }
        if (value >= 'a' && value <= 'z') {
            return symbolLower[value - 'a'];
        }
    }
    if (value >= 0x80 && value < 0xA0) {
        return cp1252High[value - 0x80];
    }
    return value;
}

int32_t roundedPixels(FT_Pos value26dot6) {
    return static_cast<int32_t>((value26dot6 + 32) >> 6);
}

// Loads the glyph for one character; false if the face has none.
bool loadGlyph(FT_Face face, const FontRequest& font, char byte, FT_Int32 flags) {
    const FT_UInt index = FT_Get_Char_Index(face, codePoint(font, byte));
    return FT_Load_Glyph(face, index, flags) == 0;
}

}  // namespace

bool FontRenderer::available() {
    return faceCache().face(FontRequest{}) != nullptr;
}

FontRenderer::LineMetrics FontRenderer::metrics(const FontRequest& font) {
    FT_Face face = faceCache().face(font);
    if (face == nullptr) {
        return {};
    }
    const double scale = static_cast<double>(std::max(font.height, 1)) / face->units_per_EM;
    return {static_cast<int32_t>(std::lround(face->ascender * scale)),
            static_cast<int32_t>(std::lround(-face->descender * scale))};
}

int32_t FontRenderer::textWidth(const FontRequest& font, std::string_view text) {
    FT_Face face = faceCache().face(font);
    if (face == nullptr) {
        return 0;
    }
    int32_t width = 0;
    for (char byte : text) {
        if (loadGlyph(face, font, byte, FT_LOAD_DEFAULT)) {
            width += roundedPixels(face->glyph->advance.x);
        }
    }
    return width;
}

void FontRenderer::render(const FontRequest& font, std::string_view text, const CoverageSink& sink) {
    FT_Face face = faceCache().face(font);
    if (face == nullptr) {
        return;
    }
    const int32_t ascent = metrics(font).ascent;
    int32_t penX = 0;
    for (char byte : text) {
        if (!loadGlyph(face, font, byte, FT_LOAD_RENDER)) {
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
                if (coverage != 0) {
                    sink(penX + glyph->bitmap_left + static_cast<int32_t>(column),
                         ascent - glyph->bitmap_top + static_cast<int32_t>(row), coverage);
                }
            }
        }
        penX += roundedPixels(glyph->advance.x);
    }
    if (font.underline && penX > 0) {
        const int32_t y = ascent + std::max(1, font.height / 10);
        for (int32_t x = 0; x < penX; ++x) {
            sink(x, y, 255);
        }
    }
}

}  // namespace tramvek
