#pragma once

#include <cstddef>
#include <deque>

#include "gui/geometry.h"
#include "gui/mouse_buttons.h"

namespace tramvek {

// Where the headless back end reads buttons, modifier keys and the pointer.
class PointerSource {
  public:
    virtual ~PointerSource() = default;
    virtual MouseButtons pollButtons() = 0;
    // Screen coordinates.
    virtual Point position() = 0;
};

// Input for tests: each button poll consumes the next scripted step and the
// pointer stays where that step put it. Once the script is used up, polls answer
// the resting buttons (nothing down unless set), so every mouse loop ends.
class ScriptedInput : public PointerSource {
  public:
    struct Step {
        MouseButtons buttons = 0;
        Point position;
    };

    void push(const Step& step) { script_.push_back(step); }
    void setRestingButtons(MouseButtons buttons) { restingButtons_ = buttons; }
    void setPosition(Point position) { current_.position = position; }
    void clear();

    MouseButtons pollButtons() override;
    Point position() override { return current_.position; }

    int32_t pollCount() const { return pollCount_; }
    size_t stepsLeft() const { return script_.size(); }

  private:
    std::deque<Step> script_;
    Step current_;
    MouseButtons restingButtons_ = 0;
    int32_t pollCount_ = 0;
};

}  // namespace tramvek
