#include "pictures.h"
#include "typeface.h"

namespace tramvek::pictures {

namespace {

constexpr int kWidth = 590;
constexpr int kHeight = 331;
constexpr Rgb kField{255, 205, 127};
constexpr Rgb kNameInk{72, 48, 20};

// Outermost ring first; each ring's light half (top, left) and dark half (bottom, right).
struct BevelRing {
    Rgb light;
    Rgb dark;
};
constexpr BevelRing kBorder[] = {
    {{28, 20, 10}, {28, 20, 10}},
    {{118, 88, 48}, {14, 10, 4}},
    {{92, 68, 36}, {30, 22, 10}},
    {{52, 38, 18}, {52, 38, 18}},
};

void drawRing(Canvas& canvas, int inset, const BevelRing& ring) {
    const int right = kWidth - 1 - inset;
    const int bottom = kHeight - 1 - inset;
    canvas.fillRect(inset, inset, right + 1, inset + 1, ring.light);
    canvas.fillRect(inset, inset, inset + 1, bottom + 1, ring.light);
    canvas.fillRect(inset + 1, bottom, right + 1, bottom + 1, ring.dark);
    canvas.fillRect(right, inset + 1, right + 1, bottom + 1, ring.dark);
}

// The name sits right of the waveform view and below the step sequencer,
// clear of every area the views draw over.
void drawName(Canvas& canvas, const FontFiles& fonts) {
    const Typeface face(fonts.bold, 11);
    constexpr int kRightEdge = 580;
    constexpr int kBaseline = 292;
    const char* name = "tramvek";
    face.draw(canvas, kRightEdge - face.width(name), kBaseline, name, kNameInk);
}

}  // namespace

Canvas drawBackground(const FontFiles& fonts) {
    Canvas canvas(kWidth, kHeight, kField);
    int inset = 0;
    for (const BevelRing& ring : kBorder) {
        drawRing(canvas, inset++, ring);
    }
    drawName(canvas, fonts);
    return canvas;
}

}  // namespace tramvek::pictures
