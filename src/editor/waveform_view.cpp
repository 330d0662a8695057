#include "editor/waveform_view.h"

#include <algorithm>

#include "editor/dropped_audio.h"
#include "editor/editor_host.h"
#include "editor/engine_reads.h"
#include "gui/draw_context.h"

namespace tramvek {

namespace {

constexpr Color kBackground{235, 235, 235};
constexpr Color kLearnBackground{235, 215, 215};
constexpr Color kBlack{0, 0, 0};
constexpr Color kGrid{150, 151, 151};
constexpr Color kPlayedSlice{255, 211, 211};
constexpr Color kPlayingSlice{98, 249, 84};
constexpr Color kLearnTargetSlice{240, 120, 150};
constexpr Color kWaveform{100, 100, 250};
constexpr Color kMessageBackground{255, 250, 205};

constexpr FontId kTextFont = 6;
constexpr int32_t kTextSize = 9;
constexpr int32_t kCentred = 1;
constexpr int32_t kLeftAligned = 0;
constexpr int32_t kMessageHeight = 14;
constexpr int32_t kFileDrop = 0;

// Far beyond any picture, small enough that no conversion overflows.
constexpr float kColumnLimit = 1.0e6f;

// trunc(gain x sample). The host's input reaches the buffers unchecked, so a
// sample that is no number counts as silence and huge ones are limited.
int32_t scaledSample(float gain, float sample) {
    const float scaled = gain * sample;
    if (scaled != scaled) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(scaled, -kColumnLimit, kColumnLimit));
}

}  // namespace

WaveformView::WaveformView(const Rect& bounds, EditorHost& host, const ViewPlacement& placement)
    : View(bounds), host_(host), placement_(placement) {
    const int32_t sliceWidth = (placement_.width - 2) / kSliceCount;
    for (int32_t k = 0; k < kSliceCount; ++k) {
        const int32_t left = 1 + sliceWidth * k;
        sliceBoxes_[k] = {left, 1, left + sliceWidth - 2, placement_.height - 1};
    }
}

void WaveformView::refreshWaveform() {
    const auto gain = static_cast<float>(placement_.height + 22);
    const EngineView& view = host_.view();
    // The engine samples the columns of the editor's strip; any further ones stay silent.
    const int32_t lastColumn = std::clamp(placement_.width, 0, kColumnCapacity - 1);
    const int32_t sampled = std::clamp(view.waveformCount, 0, EngineView::kWaveformColumns);
    for (int32_t k = 0; k <= lastColumn; ++k) {
        columns_[k] =
            k < sampled
                ? (scaledSample(gain, view.waveformLeft[k]) + scaledSample(gain, view.waveformRight[k])) / 2
                : 0;
    }
    if (columns_ != drawnColumns_ || captureSlices() != drawnSlices_) {
        setNeedsRedraw(true);
    }
}

WaveformView::Slices WaveformView::captureSlices() const {
    const EditorSnapshot& engine = host_.view().snapshot;
    Slices now;
    now.learn = engine.sliceNoteLearn;
    now.learnTarget = engine.sliceLearnTarget;
    now.frozen = engine.frozen;
    now.nextStep = engine.nextStepIndex;
    now.playing = engine.playingSlot;
    for (int32_t k = 0; k < kSliceCount; ++k) {
        now.notes[k] = engine.sliceNotes[k];
    }
    return now;
}

void WaveformView::draw(DrawContext& context) {
    drawnSlices_ = captureSlices();
    drawnColumns_ = columns_;
    drawThroughOffscreen(context, placement_, [this](DrawContext& offscreen) {
        offscreen.setFillColor(drawnSlices_.learn ? kLearnBackground : kBackground);
        offscreen.fillInside(placement_.picture());
        offscreen.setPenColor(kBlack);
        offscreen.outlineRect(placement_.picture());
        drawSlices(offscreen);
        drawWaveform(offscreen);
        drawDropMessage(offscreen);
    });
}

void WaveformView::drawSlices(DrawContext& context) {
    context.setPenColor(kGrid);
    context.selectFont(kTextFont, kTextSize, 0);
    context.setTextColor(kBlack);
    const Slices& shown = drawnSlices_;
    const int32_t sliceWidth = (placement_.width - 2) / kSliceCount;
    for (int32_t k = 0; k < kSliceCount; ++k) {
        const int32_t x = sliceWidth * k;
        context.moveTo({x, 0});
        context.lineTo({x, placement_.height});

        const Rect& box = sliceBoxes_[k];
        bool marked = false;
        if (!shown.frozen && !shown.learn && k <= shown.nextStep) {
            context.setFillColor(kPlayedSlice);
            context.fillInside(box);
            marked = true;
        }
        if (!shown.learn && k == shown.playing) {
            context.setFillColor(kPlayingSlice);
            marked = true;
        }
        if (shown.learn && k == shown.learnTarget) {
            context.setFillColor(kLearnTargetSlice);
            context.fillInside(box);
        } else if (marked) {
            // The playing slice is green whether or not it is also shaded.
            context.fillInside(box);
        }
        if (shown.learn) {
            context.drawText(decimal(shown.notes[k]), {box.left, box.top, box.right, box.bottom - 50}, false,
                             kCentred);
        }
    }
}

void WaveformView::drawWaveform(DrawContext& context) {
    context.setPenColor(kWaveform);
    const int32_t middle = placement_.height / 2;
    const int32_t lastX = std::min(placement_.width - 2, kColumnCapacity);
    for (int32_t x = 1; x <= lastX; ++x) {
        // Half of the signed value: negative columns draw shorter (or not at all).
        const int32_t half = columns_[x - 1] / 2 + 1;
        context.moveTo({x, middle - half});
        context.lineTo({x, middle + half});
    }
}

void WaveformView::drawDropMessage(DrawContext& context) {
    if (dropMessage_.empty()) {
        return;
    }
    const Rect line{1, 1, placement_.width - 2, 1 + kMessageHeight};
    context.setFillColor(kMessageBackground);
    context.fillInside(line);
    context.setPenColor(kBlack);
    context.outlineRect(line);
    context.selectFont(kTextFont, kTextSize, 0);
    context.setTextColor(kBlack);
    context.drawText(dropMessage_, {line.left + 3, line.top, line.right - 2, line.bottom}, false,
                     kLeftAligned);
}

bool WaveformView::acceptDrop(const char* const* items, int32_t count, int32_t type, Point) {
    if (type != kFileDrop || count < 1 || items == nullptr || items[0] == nullptr) {
        return false;
    }
    dropMessage_ = freezeDroppedFile(host_, items[0]);
    setNeedsRedraw(true);
    return true;
}

void WaveformView::trackMouse(DrawContext&, Point& where) {
    if (!dropMessage_.empty()) {
        dropMessage_.clear();
        setNeedsRedraw(true);
    }
    if (!host_.view().snapshot.sliceNoteLearn) {
        return;
    }
    for (int32_t k = 0; k < kSliceCount; ++k) {
        if (placement_.inFrame(sliceBoxes_[k]).contains(where)) {
            host_.send({EngineCommand::Kind::kSetSliceLearnTarget, k});
            return;
        }
    }
}

}  // namespace tramvek
