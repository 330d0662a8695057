#include "gui/raster/raster_surface.h"

#include <algorithm>

#include "gui/raster/font_renderer.h"
#include "gui/raster/line_rasterizer.h"
#include "gui/raster/raster_image.h"

namespace tramvek {

namespace {

// A dotted one-pixel pen: three pixels on, three off, starting afresh with every
// line, as the Windows graphics engine draws it.
constexpr int32_t DotLength = 3;

uint32_t blend(uint32_t under, uint32_t over, uint8_t coverage) {
    uint32_t result = 0;
    for (unsigned shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (under >> shift) & 0xFFu;
        const uint32_t b = (over >> shift) & 0xFFu;
        result |= ((b * coverage + a * (255u - coverage) + 127u) / 255u) << shift;
    }
    return result;
}

// Copies width x height pixels, clipped to both buffers; `keep` says which
// destination pixels stay as they are. Handles overlapping areas of one buffer.
template <typename Keep>
void copyPixels(PixelBuffer& target, Point to, int32_t width, int32_t height, const PixelBuffer& source,
                Point from, Keep keep) {
    if (width <= 0 || height <= 0) {
        return;
    }
    std::vector<uint32_t> row(static_cast<size_t>(width));
    std::vector<uint8_t> present(static_cast<size_t>(width));
    const bool bottomUp = &target == &source && to.y > from.y;
    for (int32_t step = 0; step < height; ++step) {
        const int32_t dy = bottomUp ? height - 1 - step : step;
        for (int32_t dx = 0; dx < width; ++dx) {
            present[dx] = source.inside(from.x + dx, from.y + dy) ? 1 : 0;
            row[dx] = present[dx] ? source.at(from.x + dx, from.y + dy) : 0;
        }
        for (int32_t dx = 0; dx < width; ++dx) {
            const int32_t x = to.x + dx;
            const int32_t y = to.y + dy;
            if (present[dx] && target.inside(x, y) && !keep(from.x + dx, from.y + dy)) {
                target.at(x, y) = row[dx];
            }
        }
    }
}

}  // namespace

void RasterSurface::setPen(Color color, PenStyle style) {
    pen_ = color.packed();
    penStyle_ = style;
}

bool RasterSurface::setFill(Color color) {
    fill_ = color.packed();
    return true;
}

void RasterSurface::setTextColor(Color color) {
    text_ = color.packed();
}

void RasterSurface::selectFont(const FontRequest& font) {
    font_ = font;
}

void RasterSurface::moveTo(Point p) {
    position_ = p;
}

void RasterSurface::lineTo(Point p) {
    dashPosition_ = 0;
    rasterizeLine(position_, p, [this](int32_t x, int32_t y) {
        const bool on = penStyle_ == PenStyle::Solid || (dashPosition_ / DotLength) % 2 == 0;
        dashPosition_ = (dashPosition_ + 1) % (2 * DotLength);
        if (on) {
            target_.set(x, y, pen_);
        }
    });
    position_ = p;
}

void RasterSurface::fillRect(const Rect& r) {
    target_.fill(r, fill_);
}

void RasterSurface::drawText(std::string_view text, const Rect& r, TextAlignment alignment, bool opaque) {
    const FontRenderer::LineMetrics metrics = FontRenderer::metrics(font_);
    const int32_t textWidth = FontRenderer::textWidth(font_, text);
    const int32_t top = r.top + r.height() / 2 - metrics.height() / 2;
    int32_t left = r.left;
    if (alignment == TextAlignment::Center) {
        left = (r.left + r.right - textWidth) / 2;
    } else if (alignment == TextAlignment::Right) {
        left = r.right - textWidth;
    }
    const Rect clip{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, target_.width()),
                    std::min(r.bottom, target_.height())};
    const auto visible = [&clip](int32_t x, int32_t y) {
        return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
    };
    if (opaque) {
        const Rect cell{std::max(left, clip.left), std::max(top, clip.top),
                        std::min(left + textWidth, clip.right),
                        std::min(top + metrics.height(), clip.bottom)};
        target_.fill(cell, fill_);
    }
    FontRenderer::render(font_, text, [&](int32_t x, int32_t y, uint8_t coverage) {
        const int32_t px = left + x;
        const int32_t py = top + y;
        if (visible(px, py)) {
            target_.at(px, py) = blend(target_.at(px, py), text_, coverage);
        }
    });
}

void RasterSurface::blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) {
    const PixelBuffer& sourcePixels = static_cast<RasterSurface&>(source).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from, [](int32_t, int32_t) { return false; });
}

void RasterSurface::drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image,
                              Point from) {
    const PixelBuffer& sourcePixels = static_cast<const RasterImage&>(image).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from, [](int32_t, int32_t) { return false; });
}

void RasterSurface::drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image,
                                         Point from, const PlatformImage& mask) {
    const PixelBuffer& sourcePixels = static_cast<const RasterImage&>(image).pixels();
    const PixelBuffer& maskPixels = static_cast<const RasterImage&>(mask).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from,
               [&maskPixels](int32_t x, int32_t y) { return maskPixels.get(x, y) != 0; });
}

}  // namespace tramvek
