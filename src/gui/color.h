#pragma once

#include <cstdint>

namespace tramvek {

// The fourth byte is carried along but every drawing operation ignores it.
struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    // The platform's packed value: red + 256 * green + 65536 * blue.
    constexpr uint32_t packed() const { return red + (green << 8u) + (blue << 16u); }
    constexpr bool sameRgb(const Color& other) const { return packed() == other.packed(); }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

namespace colors {
inline constexpr Color White{255, 255, 255, 0};
inline constexpr Color Black{0, 0, 0, 0};
inline constexpr Color Grey{127, 127, 127, 0};
inline constexpr Color Red{255, 0, 0, 0};
inline constexpr Color Green{0, 255, 0, 0};
inline constexpr Color Blue{0, 0, 255, 0};
inline constexpr Color Yellow{255, 255, 0, 0};
inline constexpr Color Magenta{255, 0, 255, 0};
inline constexpr Color Cyan{0, 255, 255, 0};
inline constexpr Color DefaultTransparent{255, 255, 255, 0};
}  // namespace colors

}  // namespace tramvek
