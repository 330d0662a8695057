#pragma once

#include <cstdint>

#include "gui/view.h"

namespace tramvek {

class Bitmap;
class ControlListener;

// A view with a float value, its bounds, a tag and a listener. A control counts as
// needing a redraw while its value differs from the value last drawn.
class Control : public View {
  public:
    // Retains the background.
    Control(const Rect& bounds, ControlListener* listener, int32_t tag, Bitmap* background);
    // Releases the background.
    ~Control() override;

    void draw(DrawContext& context) override = 0;
    bool needsRedraw() const override;
    void setNeedsRedraw(bool flag) override;

    // Runs the owning editor's idle pump; mouse loops call it on every pass.
    virtual void idleDuringTracking();
    virtual void setValue(float v);
    virtual float value() const;
    virtual void setMin(float v);
    virtual float minValue() const;
    virtual void setMax(float v);
    virtual float maxValue() const;
    virtual void setOldValue(float v);
    virtual float oldValue() const;
    virtual void setDefaultValue(float v);
    virtual float defaultValue() const;
    virtual void setTag(int32_t tag);
    // Releases the previous background and retains the new one (null allowed).
    virtual void setBackground(Bitmap* bitmap);
    virtual Bitmap* background() const;
    virtual void setWheelStep(float v);
    virtual float wheelStep() const;
    virtual void clampValue();

    int32_t tag() const { return tag_; }
    ControlListener* listener() const { return listener_; }

  private:
    ControlListener* listener_;
    int32_t tag_;
    float oldValue_ = 1.0f;
    float defaultValue_ = 0.5f;
    float value_ = 0.0f;
    float minValue_ = 0.0f;
    float maxValue_ = 1.0f;
    float wheelStep_ = 0.1f;
    Bitmap* background_ = nullptr;
};

}  // namespace tramvek
