// The toolkit's button bits from X11's event and pointer state.
#pragma once

#include <X11/Xlib.h>

#include "gui/mouse_buttons.h"

namespace tramvek {

// The buttons and modifier keys of an X11 state mask.
inline MouseButtons x11Buttons(unsigned int mask) {
    MouseButtons buttons = 0;
    buttons |= (mask & Button1Mask) != 0 ? mouse::LeftButton : 0;
    buttons |= (mask & Button2Mask) != 0 ? mouse::MiddleButton : 0;
    buttons |= (mask & Button3Mask) != 0 ? mouse::RightButton : 0;
    buttons |= (mask & ShiftMask) != 0 ? mouse::ShiftKey : 0;
    buttons |= (mask & ControlMask) != 0 ? mouse::ControlKey : 0;
    buttons |= (mask & Mod1Mask) != 0 ? mouse::AltKey : 0;
    return buttons;
}

// What a ButtonPress event reports: its state is taken before the press, so the
// pressed button is added.
inline MouseButtons x11PressButtons(const XButtonEvent& press) {
    unsigned int pressed = 0;
    switch (press.button) {
        case Button1:
            pressed = Button1Mask;
            break;
        case Button2:
            pressed = Button2Mask;
            break;
        case Button3:
            pressed = Button3Mask;
            break;
        default:
            break;
    }
    return x11Buttons(press.state | pressed);
}

}  // namespace tramvek
