#pragma once

namespace tramvek {

class Control;
class DrawContext;

// Told by a control after a user action changed its value.
class ControlListener {
  public:
    virtual void valueChanged(DrawContext& context, Control* control) = 0;

  protected:
    ~ControlListener() = default;
};

}  // namespace tramvek
