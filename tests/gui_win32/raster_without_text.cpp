// The raster surface built into this program draws no text: FreeType has no
// Windows build, and the scenes compared with GDI here have no text in them.
#include "gui/raster/font_renderer.h"

namespace tramvek {

bool FontRenderer::available() {
    return false;
}

FontRenderer::LineMetrics FontRenderer::metrics(const FontRequest&) {
    return {};
}

int32_t FontRenderer::textWidth(const FontRequest&, std::string_view) {
    return 0;
}

void FontRenderer::render(const FontRequest&, std::string_view, const CoverageSink&) {}

}  // namespace tramvek
