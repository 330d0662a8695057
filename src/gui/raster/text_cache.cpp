#include "gui/raster/text_cache.h"

#include <mutex>
#include <string>
#include <unordered_map>

#include "gui/raster/font_renderer.h"

namespace tramvek {

namespace {

// Far more than the editor's distinct texts; a program that draws ever new
// ones starts afresh rather than growing without bound.
constexpr size_t kLineLimit = 2048;

std::string keyOf(const FontRequest& font, std::string_view text) {
    std::string key(font.face != nullptr ? font.face : "");
    key += '\0';
    key += std::to_string(font.height);
    key += static_cast<char>('0' + (font.bold ? 1 : 0) + (font.italic ? 2 : 0) + (font.underline ? 4 : 0) +
                             (font.decorative ? 8 : 0));
    key += text;
    return key;
}

std::shared_ptr<const TextCache::Line> render(const FontRequest& font, std::string_view text) {
    auto line = std::make_shared<TextCache::Line>();
    line->height = FontRenderer::metrics(font).height();
    line->width = FontRenderer::textWidth(font, text);
    FontRenderer::render(font, text, [&line](int32_t x, int32_t y, uint8_t coverage) {
        line->ink.push_back({x, y, coverage});
    });
    return line;
}

}  // namespace

std::shared_ptr<const TextCache::Line> TextCache::line(const FontRequest& font, std::string_view text) {
    static std::mutex lock;
    static std::unordered_map<std::string, std::shared_ptr<const Line>> lines;
    std::string key = keyOf(font, text);
    std::lock_guard<std::mutex> hold(lock);
    if (const auto found = lines.find(key); found != lines.end()) {
        return found->second;
    }
    if (lines.size() >= kLineLimit) {
        lines.clear();
    }
    auto made = render(font, text);
    lines.emplace(std::move(key), made);
    return made;
}

}  // namespace tramvek
