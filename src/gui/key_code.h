#pragma once

#include <cstdint>

namespace tramvek {

// A key event as the host delivers it (character, virtual key, modifier bits).
struct KeyCode {
    int32_t character = 0;
    uint8_t virtualKey = 0;
    uint8_t modifier = 0;
};

}  // namespace tramvek
