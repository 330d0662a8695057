#pragma once

#include <cstdint>

namespace tramvek {

// Bit set of the mouse buttons and modifier keys down at the moment of a poll.
using MouseButtons = int32_t;

namespace mouse {
inline constexpr MouseButtons LeftButton = 1;
inline constexpr MouseButtons MiddleButton = 2;
inline constexpr MouseButtons RightButton = 4;
inline constexpr MouseButtons ShiftKey = 8;
inline constexpr MouseButtons ControlKey = 16;
inline constexpr MouseButtons AltKey = 32;
}  // namespace mouse

}  // namespace tramvek
