#pragma once

#include <cstdint>

namespace tramvek {

// Index into the toolkit's font table; ids outside 0..7 mean font 0.
using FontId = int32_t;

inline constexpr int32_t FontCount = 8;

// Style bits of selectFont.
namespace font_style {
inline constexpr int32_t Bold = 1;
inline constexpr int32_t Italic = 2;
inline constexpr int32_t Underline = 4;
}  // namespace font_style

// What a back end needs to create a font. The height is the character height in
// pixels (the platform request takes it negated).
struct FontRequest {
    const char* face = "Arial";
    int32_t height = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    // Decorative family with default pitch (the "Symbol" entry); otherwise a
    // variable-pitch sans-serif family. ANSI character set and default quality always.
    bool decorative = false;
};

// The font request for an id, a size (0 = the font's default size) and style bits.
FontRequest fontRequest(FontId id, int32_t size, int32_t style);

}  // namespace tramvek
