#include "gui/control.h"

#include "gui/bitmap.h"
#include "gui/frame_editor.h"

namespace tramvek {

Control::Control(const Rect& bounds, ControlListener* listener, int32_t tag, Bitmap* background)
    : View(bounds), listener_(listener), tag_(tag), background_(background) {
    if (background_ != nullptr) {
        background_->retain();
    }
}

Control::~Control() {
    if (background_ != nullptr) {
        background_->release();
    }
}

bool Control::needsRedraw() const {
    return value_ != oldValue_ || View::needsRedraw();
}

void Control::setNeedsRedraw(bool flag) {
    View::setNeedsRedraw(flag);
    if (flag) {
        // Make old and current value differ, whatever the value is.
        oldValue_ = value_ == -1.0f ? 0.0f : -1.0f;
    } else {
        oldValue_ = value_;
    }
}

void Control::idleDuringTracking() {
    if (FrameEditor* owner = editor()) {
        owner->idlePump();
    }
}

void Control::setValue(float v) {
    value_ = v;
}
float Control::value() const {
    return value_;
}
void Control::setMin(float v) {
    minValue_ = v;
}
float Control::minValue() const {
    return minValue_;
}
void Control::setMax(float v) {
    maxValue_ = v;
}
float Control::maxValue() const {
    return maxValue_;
}
void Control::setOldValue(float v) {
    oldValue_ = v;
}
float Control::oldValue() const {
    return oldValue_;
}
void Control::setDefaultValue(float v) {
    defaultValue_ = v;
}
float Control::defaultValue() const {
    return defaultValue_;
}
void Control::setTag(int32_t tag) {
    tag_ = tag;
}

void Control::setBackground(Bitmap* bitmap) {
    if (bitmap != nullptr) {
        bitmap->retain();  // before releasing, in case it is the same bitmap
    }
    if (background_ != nullptr) {
        background_->release();
    }
    background_ = bitmap;
}

Bitmap* Control::background() const {
    return background_;
}
void Control::setWheelStep(float v) {
    wheelStep_ = v;
}
float Control::wheelStep() const {
    return wheelStep_;
}

void Control::clampValue() {
    if (value_ > maxValue_) {
        value_ = maxValue_;
    } else if (value_ < minValue_) {
        value_ = minValue_;
    }
}

}  // namespace tramvek
