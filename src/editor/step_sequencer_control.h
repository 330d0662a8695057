// The middle strip of the editor: the 32 steps of the current pattern for one
// lane as bars with numbers, the lane, pattern and bank buttons, the length,
// shuffle and resolution boxes, the pattern-note learn button and a help box.
// It reads the engine on every draw and writes the user's edits straight into it.
#pragma once

#include <array>
#include <cstdint>

#include "editor/view_placement.h"
#include "gui/color.h"
#include "gui/control.h"

namespace tramvek {

class SlicerEffect;

class StepSequencerControl : public Control {
  public:
    static constexpr int32_t kStepCount = 32;
    static constexpr int32_t kStepWidth = 14;
    static constexpr int32_t kBarFullHeight = 90;
    static constexpr int32_t kLaneCount = 7;
    static constexpr int32_t kPatternButtonCount = 8;
    static constexpr int32_t kBankButtonCount = 4;
    static constexpr int32_t kHelpLineCount = 3;

    StepSequencerControl(const Rect& bounds, SlicerEffect& engine, const ViewPlacement& placement);

    void draw(DrawContext& context) override;
    void trackMouse(DrawContext& context, Point& where) override;

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

    void drawSteps(DrawContext& context);
    void drawBoxes(DrawContext& context);
    void drawButtons(DrawContext& context);
    void drawHelp(DrawContext& context);

    // The parts of one pass of the mouse loop; those answering bool end the press with true.
    void trackSteps(DrawContext& context, PressState& press);
    void dragBox(DrawContext& context, PressState& press, bool lengthBox);
    bool trackResolution(const PressState& press);
    void trackLanes(const PressState& press);
    void trackPatterns(DrawContext& context, PressState& press);
    void trackBanks(DrawContext& context, const PressState& press);
    bool trackLearnButton(DrawContext& context, const PressState& press);
    bool hit(const Rect& ownRect, Point where) const;

    SlicerEffect& engine_;
    ViewPlacement placement_;
    int32_t editLane_ = 0;
    // Copies taken at the last draw; the mouse handling works from them.
    bool learnShown_ = false;
    float lengthValueShown_ = 0.0f;
    int32_t lengthShown_ = 0;
    float shuffleShown_ = 0.0f;
};

}  // namespace tramvek
