#pragma once

#include <cstdint>
#include <span>

namespace tramvek {

// The editor's bitmap resources where the platform has no resource loader:
// the complete bitmap file of resource 128 (background) or 133 (help screen);
// an empty span for any other number.
std::span<const std::uint8_t> bitmapResourceBytes(int id);

}  // namespace tramvek
