#include "waveforms/waveform_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "gui/raster/raster_surface.h"

namespace tramvek {
namespace {

constexpr int32_t kPlotLeft = kInputLane.left;
constexpr int32_t kPlotWidth = kInputLane.right - kInputLane.left;
constexpr int32_t kWidth = kPlotLeft + kPlotWidth + 16;
constexpr int32_t kTitleTop = 8;
constexpr int32_t kPatternLabelTop = 36;
constexpr int32_t kLaneHeight = kInputLane.bottom - kInputLane.top;
constexpr int32_t kInputTop = kInputLane.top;
constexpr int32_t kOutputTop = kOutputLane.top;
constexpr int32_t kLabelTop = kOutputTop + kLaneHeight + 2;
constexpr int32_t kLabelRowHeight = 12;
constexpr int32_t kLegendTop = kOutputTop + kLaneHeight + 10;
constexpr int32_t kLegendLineHeight = 18;
constexpr int32_t kHeight = kLegendTop + 40;

constexpr Color kPaper{255, 255, 255, 0};
constexpr Color kSilentLane{236, 236, 236, 0};
constexpr Color kStepLine{205, 205, 205, 0};
constexpr Color kBeatLine{160, 160, 160, 0};
constexpr Color kPatternLine{170, 20, 20, 0};
constexpr Color kWave{30, 30, 60, 0};
constexpr Color kInk{0, 0, 0, 0};
constexpr std::array<Color, 4> kPatternTints{Color{255, 214, 170, 0}, Color{182, 222, 255, 0},
                                             Color{196, 240, 186, 0}, Color{236, 200, 244, 0}};

struct Lane {
    int32_t top;
    const StereoAudio* audio;
    const char* label;
};

// Maps frames and steps onto picture columns.
class TimeAxis {
  public:
    TimeAxis(std::size_t frames, double framesPerStep)
        : frames_(std::max<std::size_t>(frames, 1)), framesPerStep_(framesPerStep) {}

    int32_t columnOfFrame(double frame) const {
        return kPlotLeft + static_cast<int32_t>(std::lround(frame * kPlotWidth / frames_));
    }
    int32_t columnOfStep(int step) const { return columnOfFrame(step * framesPerStep_); }
    std::size_t firstFrameOfColumn(int32_t column) const {
        return static_cast<std::size_t>(static_cast<double>(column - kPlotLeft) * frames_ / kPlotWidth);
    }
    int stepCount() const { return static_cast<int>(std::ceil(frames_ / framesPerStep_ - 1e-9)); }

  private:
    std::size_t frames_;
    double framesPerStep_;
};

void fill(RasterSurface& surface, Color color, const Rect& area) {
    surface.setFill(color);
    surface.fillRect(area);
}

void verticalLine(RasterSurface& surface, Color color, int32_t x, int32_t top, int32_t bottom) {
    surface.setPen(color, PenStyle::Solid);
    surface.moveTo({x, top});
    surface.lineTo({x, bottom});
}

void text(RasterSurface& surface, const std::string& line, const Rect& area, int32_t height, bool bold,
          TextAlignment alignment = TextAlignment::Left) {
    surface.selectFont(FontRequest{"Arial", height, bold, false, false, false});
    surface.setTextColor(kInk);
    surface.drawText(line, area, alignment, false);
}

// Input pattern p is tinted with colour p; the output plays it back during pattern p + 1.
void tintPatterns(RasterSurface& surface, const TimeAxis& axis, const StepGrid& grid, const Lane& lane,
                  int patternDelay) {
    const int patterns = (axis.stepCount() + grid.stepsPerPattern - 1) / grid.stepsPerPattern;
    for (int pattern = 0; pattern < patterns; ++pattern) {
        const int source = pattern - patternDelay;
        const Color tint = source < 0 ? kSilentLane : kPatternTints[source % kPatternTints.size()];
        const int32_t left = axis.columnOfStep(pattern * grid.stepsPerPattern);
        const int32_t right =
            std::min(axis.columnOfStep((pattern + 1) * grid.stepsPerPattern), kPlotLeft + kPlotWidth);
        fill(surface, tint, {left, lane.top, right, lane.top + kLaneHeight});
    }
}

void drawGrid(RasterSurface& surface, const TimeAxis& axis, const StepGrid& grid, const Lane& lane) {
    for (int step = 1; step < axis.stepCount(); ++step) {
        const bool patternStart = step % grid.stepsPerPattern == 0;
        if (!patternStart) {
            const Color color = step % grid.stepsPerBeat == 0 ? kBeatLine : kStepLine;
            verticalLine(surface, color, axis.columnOfStep(step), lane.top, lane.top + kLaneHeight);
        }
    }
}

// One column per pixel: a line from the lowest to the highest sample of the mono mix under it.
void drawWave(RasterSurface& surface, const TimeAxis& axis, const Lane& lane) {
    const StereoAudio& audio = *lane.audio;
    const int32_t middle = lane.top + kLaneHeight / 2;
    const double scale = (kLaneHeight / 2 - 2) * 1.0;
    surface.setPen(kWave, PenStyle::Solid);
    for (int32_t column = kPlotLeft; column < kPlotLeft + kPlotWidth; ++column) {
        const std::size_t first = axis.firstFrameOfColumn(column);
        const std::size_t end = std::min(axis.firstFrameOfColumn(column + 1), audio.frames());
        if (first >= end) {
            continue;
        }
        float low = 0.0f;
        float high = 0.0f;
        for (std::size_t frame = first; frame < end; ++frame) {
            const float mono = 0.5f * (audio.left[frame] + audio.right[frame]);
            low = std::min(low, mono);
            high = std::max(high, mono);
        }
        const auto row = [&](float value) {
            return middle - static_cast<int32_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * scale));
        };
        surface.moveTo({column, row(high)});
        surface.lineTo({column, row(low) + 1});
    }
}

void drawPatternBoundaries(RasterSurface& surface, const TimeAxis& axis, const StepGrid& grid) {
    for (int step = 0; step <= axis.stepCount(); step += grid.stepsPerPattern) {
        const int32_t x = std::min(axis.columnOfStep(step), kPlotLeft + kPlotWidth - 1);
        verticalLine(surface, kPatternLine, x, kPatternLabelTop, kOutputTop + kLaneHeight);
        if (step < axis.stepCount()) {
            text(surface, "pattern " + std::to_string(step / grid.stepsPerPattern + 1),
                 {x + 4, kPatternLabelTop, x + 200, kInputTop - 2}, 12, false);
        }
    }
}

bool anyPlaysLabel(const std::vector<StepLabel>& labels) {
    return std::any_of(labels.begin(), labels.end(), [](const StepLabel& label) {
        return !label.repeats.empty() || !label.chance.empty();
    });
}

// The first output pattern plays nothing recorded yet: labels start with the second.
void drawStepLabels(RasterSurface& surface, const TimeAxis& axis, const StepGrid& grid,
                    const std::vector<StepLabel>& labels) {
    for (int step = grid.stepsPerPattern; step < axis.stepCount(); ++step) {
        const StepLabel& label =
            labels[static_cast<std::size_t>(step % grid.stepsPerPattern) % labels.size()];
        const int32_t left = axis.columnOfStep(step);
        const int32_t right = std::min(axis.columnOfStep(step + 1), kPlotLeft + kPlotWidth);
        text(surface, label.source, {left, kLabelTop, right, kLabelTop + kLabelRowHeight}, 10, true,
             TextAlignment::Center);
        text(surface, label.pitch,
             {left, kLabelTop + kLabelRowHeight, right, kLabelTop + 2 * kLabelRowHeight}, 10, false,
             TextAlignment::Center);
        text(surface, label.repeats,
             {left, kLabelTop + 2 * kLabelRowHeight, right, kLabelTop + 3 * kLabelRowHeight}, 10, false,
             TextAlignment::Center);
        text(surface, label.chance,
             {left - 2, kLabelTop + 3 * kLabelRowHeight, right + 2, kLabelTop + 4 * kLabelRowHeight}, 9,
             false, TextAlignment::Center);
    }
}

}  // namespace

PixelBuffer drawWaveformPicture(const StereoAudio& input, const StereoAudio& output, const StepGrid& grid,
                                const std::vector<StepLabel>& stepLabels) {
    const bool labelled = !stepLabels.empty();
    // The labels push the legend down and add a line to it.
    const int32_t labelRows = labelled ? (anyPlaysLabel(stepLabels) ? 4 : 2) * kLabelRowHeight : 0;
    const int32_t legendTop = kLegendTop + labelRows;
    PixelBuffer pixels(kWidth, kHeight + labelRows + (labelled ? kLegendLineHeight : 0), kPaper.packed());
    RasterSurface surface(pixels);
    const TimeAxis axis(std::max(input.frames(), output.frames()), grid.framesPerStep(input.sampleRate));
    const std::array<Lane, 2> lanes{Lane{kInputTop, &input, "input"}, Lane{kOutputTop, &output, "output"}};
    for (int index = 0; index < 2; ++index) {
        const Lane& lane = lanes[index];
        tintPatterns(surface, axis, grid, lane, index);
        drawGrid(surface, axis, grid, lane);
        drawWave(surface, axis, lane);
        text(surface, lane.label, {8, lane.top, kPlotLeft - 4, lane.top + kLaneHeight}, 14, true);
    }
    drawPatternBoundaries(surface, axis, grid);
    if (labelled) {
        drawStepLabels(surface, axis, grid, stepLabels);
    }
    text(surface,
         "Input on top, output below; thin lines mark the steps, red lines the patterns (" +
             std::to_string(grid.stepsPerPattern) + " steps at " + std::to_string(std::lround(grid.tempo)) +
             " BPM).",
         {8, kTitleTop, kWidth, kTitleTop + 20}, 14, true);
    text(surface,
         "Same colour, same audio: each pattern is recorded while it plays in, then played back one "
         "slice per step during the next pattern. Grey: nothing recorded yet.",
         {8, legendTop, kWidth, legendTop + kLegendLineHeight}, 12, false);
    if (labelled) {
        text(surface,
             std::string("Under each output step: the input step it plays (<3 is step 3 backwards) and its "
                         "pitch in semitones (+12 an octave up)") +
                 (anyPlaysLabel(stepLabels) ? "; x4: four hits in the step, 75%: it plays that often." : "."),
             {8, legendTop + kLegendLineHeight, kWidth, legendTop + 2 * kLegendLineHeight}, 12, false);
    }
    return pixels;
}

}  // namespace tramvek
