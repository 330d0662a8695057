// What the editor's three custom views share: where their picture lies in the
// frame, the template of their off-screen surface, and the drawing pattern
// (everything into a fresh off-screen surface, then one block transfer), and
// the face two of them paint first.
#pragma once

#include <cstdint>
#include <string>

#include "gui/color.h"
#include "gui/font_table.h"
#include "gui/geometry.h"
#include "gui/offscreen_context.h"

namespace tramvek {

class Bitmap;

struct ViewPlacement {
    int32_t width = 0;
    int32_t height = 0;
    // The view's own coordinates start here in the frame.
    int32_t originX = 0;
    int32_t originY = 0;
    // Owned by the editor; the view does not retain it.
    Bitmap* surface = nullptr;

    Rect picture() const { return {0, 0, width - 1, height - 1}; }
    // A rectangle of the view's own coordinates in frame coordinates.
    Rect inFrame(const Rect& r) const { return r.offsetBy(originX, originY); }
};

// Paints with `paint(offscreen)` and copies the picture to the placement's
// origin in `target`.
template <typename Paint>
void drawThroughOffscreen(DrawContext& target, const ViewPlacement& placement, Paint paint) {
    OffscreenContext offscreen(target, placement.surface, false);
    paint(static_cast<DrawContext&>(offscreen));
    offscreen.blitTo(target,
                     {placement.originX, placement.originY, placement.originX + placement.width,
                      placement.originY + placement.height},
                     Point{0, 0});
}

// The text of the parameter panel and the step sequencer.
inline constexpr FontId kFaceTextFont = 6;
inline constexpr int32_t kFaceTextSize = 9;

// The face the parameter panel and the step sequencer draw first: their field
// (light blue while a learn mode is on), a black outline, and black 9-pixel text.
inline void paintControlFace(DrawContext& context, const Rect& picture, bool learnMode) {
    constexpr Color kFace{250, 236, 225};
    constexpr Color kLearnFace{152, 252, 247};
    constexpr Color kInk{0, 0, 0};
    context.setFillColor(learnMode ? kLearnFace : kFace);
    context.fillInside(picture);
    context.setPenColor(kInk);
    context.outlineRect(picture);
    context.selectFont(kFaceTextFont, kFaceTextSize, 0);
    context.setTextColor(kInk);
}

inline std::string decimal(int32_t value) {
    return std::to_string(value);
}

}  // namespace tramvek
