#include "gui/raster/raster_surface.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "gui/raster/line_rasterizer.h"
#include "gui/raster/raster_image.h"
#include "gui/raster/text_cache.h"

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
// destination pixels stay as they are (null: none). Handles overlapping areas
// of one buffer.
void copyPixels(PixelBuffer& target, Point to, int32_t width, int32_t height, const PixelBuffer& source,
                Point from, const std::function<bool(int32_t x, int32_t y)>& keep) {
    const int32_t left = std::max({0, -from.x, -to.x});
    const int32_t right = std::min({width, source.width() - from.x, target.width() - to.x});
    const int32_t top = std::max({0, -from.y, -to.y});
    const int32_t bottom = std::min({height, source.height() - from.y, target.height() - to.y});
    if (right <= left || bottom <= top) {
        return;
    }
    const auto count = static_cast<size_t>(right - left);
    const bool bottomUp = &target == &source && to.y > from.y;
    std::vector<uint32_t> row;
    for (int32_t step = top; step < bottom; ++step) {
        const int32_t dy = bottomUp ? bottom - 1 - (step - top) : step;
        const uint32_t* in = source.row(from.y + dy) + from.x + left;
        uint32_t* out = target.row(to.y + dy) + to.x + left;
        if (!keep) {
            std::memmove(out, in, count * sizeof(uint32_t));
            continue;
        }
        row.assign(in, in + count);
        for (size_t dx = 0; dx < count; ++dx) {
            if (!keep(from.x + left + static_cast<int32_t>(dx), from.y + dy)) {
                out[dx] = row[dx];
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
    const std::shared_ptr<const TextCache::Line> line = TextCache::line(font_, text);
    const int32_t textWidth = line->width;
    const int32_t top = r.top + r.height() / 2 - line->height / 2;
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
                        std::min(left + textWidth, clip.right), std::min(top + line->height, clip.bottom)};
        target_.fill(cell, fill_);
    }
    for (const TextCache::Ink& ink : line->ink) {
        const int32_t px = left + ink.x;
        const int32_t py = top + ink.y;
        if (visible(px, py)) {
            target_.at(px, py) = blend(target_.at(px, py), text_, ink.coverage);
        }
    }
}

void RasterSurface::blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) {
    const PixelBuffer& sourcePixels = static_cast<RasterSurface&>(source).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from, nullptr);
}

void RasterSurface::drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image,
                              Point from) {
    const PixelBuffer& sourcePixels = static_cast<const RasterImage&>(image).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from, nullptr);
}

void RasterSurface::drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image,
                                         Point from, const PlatformImage& mask) {
    const PixelBuffer& sourcePixels = static_cast<const RasterImage&>(image).pixels();
    const PixelBuffer& maskPixels = static_cast<const RasterImage&>(mask).pixels();
    copyPixels(target_, to, width, height, sourcePixels, from,
               [&maskPixels](int32_t x, int32_t y) { return maskPixels.get(x, y) != 0; });
}

}  // namespace tramvek
