#include <stdexcept>

#include "help_layout.h"
#include "pictures.h"
#include "typeface.h"

namespace tramvek::pictures {

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 322;
constexpr Rgb kField{250, 212, 183};
constexpr Rgb kTextInk{40, 24, 12};
constexpr Rgb kHeadingInk{150, 40, 20};
constexpr Rgb kRuleInk{196, 150, 118};

constexpr int kMargin = 12;
constexpr int kColumnGap = 18;
constexpr int kColumnWidth = (kWidth - 2 * kMargin - kColumnGap) / 2;
constexpr int kHangingIndent = 10;
constexpr int kHeadingGap = 5;

struct Faces {
    Typeface title;
    Typeface regular;
    Typeface bold;
};

class HelpWriter {
  public:
    HelpWriter(Canvas& canvas, const Faces& faces) : canvas_(canvas), faces_(faces) {}

    void write(const Block& block) {
        switch (block.kind) {
            case BlockKind::Title:
                return writeTitle(block.text);
            case BlockKind::Heading:
                return writeHeading(block.text);
            case BlockKind::Entry:
                return writeWrapped({{true, 0, block.term + ": "}, {false, 0, block.text}}, kHangingIndent);
            case BlockKind::Paragraph:
                return writeWrapped({{false, 0, block.text}}, 0);
            case BlockKind::ColumnBreak:
                columnLeft_ += kColumnWidth + kColumnGap;
                y_ = columnTop_;
                return;
        }
    }

  private:
    void writeTitle(const std::string& text) {
        const int baseline = kMargin + faces_.title.ascent();
        faces_.title.draw(canvas_, (kWidth - faces_.title.width(text)) / 2, baseline, text, kHeadingInk);
        const int ruleY = baseline + 5;
        canvas_.fillRect(kMargin, ruleY, kWidth - kMargin, ruleY + 1, kRuleInk);
        columnTop_ = ruleY + 4;
        y_ = columnTop_;
    }

    void writeHeading(const std::string& text) {
        if (y_ > columnTop_) {
            y_ += kHeadingGap;
        }
        placeLine(faces_.bold, columnLeft_, text, kHeadingInk);
    }

    void writeWrapped(const std::vector<PlacedRun>& runs, int hangingIndent) {
        const auto measure = [this](bool bold, const std::string& text) {
            return (bold ? faces_.bold : faces_.regular).width(text);
        };
        for (const auto& line : wrapRuns(runs, kColumnWidth, hangingIndent, measure)) {
            checkRoom();
            for (const PlacedRun& run : line) {
                const Typeface& face = run.bold ? faces_.bold : faces_.regular;
                face.draw(canvas_, columnLeft_ + run.x, y_ + face.ascent(), run.text, kTextInk);
            }
            y_ += faces_.regular.lineHeight();
        }
    }

    void placeLine(const Typeface& face, int x, const std::string& text, Rgb ink) {
        checkRoom();
        face.draw(canvas_, x, y_ + face.ascent(), text, ink);
        y_ += face.lineHeight();
    }

    // A manual that outgrows the page must be shortened, not cut off.
    void checkRoom() const {
        if (y_ + faces_.regular.lineHeight() > kHeight - kMargin / 2) {
            throw std::runtime_error("the manual does not fit on the help screen");
        }
    }

    Canvas& canvas_;
    const Faces& faces_;
    int columnLeft_ = kMargin;
    int columnTop_ = kMargin;
    int y_ = kMargin;
};

}  // namespace

Canvas drawHelpScreen(const FontFiles& fonts, const std::string& manual) {
    Canvas canvas(kWidth, kHeight, kField);
    const Faces faces{Typeface(fonts.bold, 14), Typeface(fonts.regular, 10), Typeface(fonts.bold, 10)};
    HelpWriter writer(canvas, faces);
    for (const Block& block : parseManual(manual)) {
        writer.write(block);
    }
    return canvas;
}

}  // namespace tramvek::pictures
