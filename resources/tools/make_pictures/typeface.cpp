#include "typeface.h"

#include <stdexcept>

#include "utf8.h"

namespace tramvek::pictures {

Typeface::Typeface(const std::string& fontFile, int pixelSize) {
    if (FT_Init_FreeType(&library_) != 0) {
        throw std::runtime_error("FreeType did not start");
    }
    if (FT_New_Face(library_, fontFile.c_str(), 0, &face_) != 0) {
        FT_Done_FreeType(library_);
        throw std::runtime_error("cannot open font " + fontFile);
    }
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize));
}

Typeface::~Typeface() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

FT_GlyphSlot Typeface::loadGlyph(char32_t character) const {
    if (FT_Load_Char(face_, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
        throw std::runtime_error("font has no glyph for a character of the text");
    }
    return face_->glyph;
}

int Typeface::ascent() const {
    return static_cast<int>(face_->size->metrics.ascender >> 6);
}

int Typeface::lineHeight() const {
    return static_cast<int>(face_->size->metrics.height >> 6);
}

int Typeface::width(std::string_view utf8) const {
    int x = 0;
    for (const char32_t c : decodeUtf8(utf8)) {
        x += static_cast<int>(loadGlyph(c)->advance.x >> 6);
    }
    return x;
}

int Typeface::draw(Canvas& canvas, int x, int baselineY, std::string_view utf8, Rgb ink) const {
    for (const char32_t c : decodeUtf8(utf8)) {
        const FT_GlyphSlot glyph = loadGlyph(c);
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = x + glyph->bitmap_left;
        const int top = baselineY - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                canvas.blend(left + static_cast<int>(column), top + static_cast<int>(row), ink, line[column]);
            }
        }
        x += static_cast<int>(glyph->advance.x >> 6);
    }
    return x;
}

}  // namespace tramvek::pictures
