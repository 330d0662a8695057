// The middle strip of the editor: the 32 steps of the current pattern for one
// lane as bars with numbers, the lane, pattern and bank buttons, the length,
// shuffle and resolution boxes, the pattern-note learn button and a help box.
// It draws the engine's view and sends the user's edits as commands.
#pragma once

#include <array>
#include <cstdint>

#include "editor/view_placement.h"
#include "engine/editor_snapshot.h"
#include "engine/engine_counts.h"
#include "gui/color.h"
#include "gui/control.h"

namespace tramvek {

class EditorHost;

class StepSequencerControl : public Control {
  public:
    static constexpr int32_t kStepCount = EngineCounts::kStepsPerPattern;
    static constexpr int32_t kStepWidth = 14;
    static constexpr int32_t kBarFullHeight = 90;
    static constexpr int32_t kLaneCount = EngineCounts::kLaneCount;
    static constexpr int32_t kPatternButtonCount = EngineCounts::kPatternCount;
    static constexpr int32_t kBankButtonCount = EngineCounts::kBankCount;
    static constexpr int32_t kHelpLineCount = 3;

    StepSequencerControl(const Rect& bounds, EditorHost& host, const ViewPlacement& placement);

    void draw(DrawContext& context) override;
    void trackMouse(DrawContext& context, Point& where) override;
    // One fine step per notch on the cell under the pointer, or the length or shuffle box.
    bool wheel(DrawContext* context, Point where, float distance) override;
    // Marks the control for redraw when the engine no longer matches what it shows.
    void markIfChanged();

    // The number a cell shows for a lane value.
    static int32_t laneValueText(float value, int32_t lane);
    // The bar height in pixels for a lane value.
    static int32_t laneBarHeight(float value, int32_t lane);

    int32_t editLane() const { return editLane_; }

    // The layout, in the control's own coordinates.
    static Rect stepCell(int32_t step);
    static Rect laneButton(int32_t lane);
    static Rect patternButton(int32_t pattern);
    static Rect bankButton(int32_t bank);
    static constexpr Rect kLengthBox{323, 103, 371, 118};
    static constexpr Rect kShuffleBox{378, 103, 426, 118};
    static constexpr Rect kResolutionBox{433, 103, 458, 118};
    static constexpr Rect kHelpBox{470, 82, 555, 119};
    static constexpr Rect kLearnButton{500, 5, 545, 21};

  private:
    struct PressState;
    // Everything the picture depends on, read from the engine at once.
    struct Shown {
        int32_t editLane = 0;
        bool learn = false;
        int32_t playingStep = 0;
        int32_t bank = 0;
        float values[kStepCount] = {};
        bool triggered[kStepCount] = {};
        float lengthValue = 0.0f;
        int32_t length = 0;
        float shuffle = 0.0f;
        int32_t resolution = 0;
        int32_t currentPattern = 0;
        int32_t learnTarget = 0;
        int32_t patternNotes[kPatternButtonCount] = {};
        bool operator==(const Shown&) const = default;
    };

    Shown capture() const;
    // The engine no longer matches what the last draw showed.
    bool stale() const;
    // Step `step` of `lane` in the shown pattern.
    float slotValue(int32_t lane, int32_t step) const;
    // Sends the value of step `step` in the shown pattern.
    void sendStepValue(int32_t step, float value, int32_t lane);
    bool applyWheel(Point where, float distance);
    // Draws at once when the engine changed under a press.
    void showChanges(DrawContext& context);
    void drawSteps(DrawContext& context);
    void drawBoxes(DrawContext& context);
    void drawButtons(DrawContext& context);
    void drawHelp(DrawContext& context);

    // One pass of the mouse loop and its parts; those answering bool end the press with true.
    bool trackPass(DrawContext& context, PressState& press);
    void trackSteps(PressState& press);
    void dragBox(DrawContext& context, PressState& press, bool lengthBox);
    bool trackResolution(const PressState& press);
    void trackLanes(const PressState& press);
    void trackPatterns(PressState& press);
    void trackBanks(const PressState& press);
    bool trackLearnButton(const PressState& press);
    bool hit(const Rect& ownRect, Point where) const;

    EditorHost& host_;
    ViewPlacement placement_;
    int32_t editLane_ = 0;
    // What the last draw showed; the mouse handling works from it.
    Shown shown_;
};

}  // namespace tramvek
