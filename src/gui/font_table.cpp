#include "gui/font_table.h"

#include <array>

namespace tramvek {

namespace {

struct FontEntry {
    const char* face;
    int32_t defaultSize;
    bool alwaysBold;
    bool decorative;
};

constexpr std::array<FontEntry, FontCount> fontTable{{
    {"Arial", 12, true, false},
    {"Arial", 18, false, false},
    {"Arial", 14, false, false},
    {"Arial", 12, false, false},
    {"Arial", 11, false, false},
    {"Arial", 10, false, false},
    {"Arial", 9, false, false},
    {"Symbol", 13, false, true},
}};

}  // namespace

FontRequest fontRequest(FontId id, int32_t size, int32_t style) {
    const FontEntry& entry = fontTable[(id >= 0 && id < FontCount) ? id : 0];
    FontRequest request;
    request.face = entry.face;
    request.height = size != 0 ? size : entry.defaultSize;
    request.bold = entry.alwaysBold || (style & font_style::Bold) != 0;
    request.italic = (style & font_style::Italic) != 0;
    request.underline = (style & font_style::Underline) != 0;
    request.decorative = entry.decorative;
    return request;
}

}  // namespace tramvek
