#pragma once

namespace tramvek {

// What the toolkit needs from the editor that owns a frame: the throttled idle
// pump controls call on every pass of their mouse loops.
class FrameEditor {
  public:
    virtual void idlePump() = 0;

  protected:
    ~FrameEditor() = default;
};

}  // namespace tramvek
