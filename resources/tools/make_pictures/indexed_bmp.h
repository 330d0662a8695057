#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace tramvek::pictures {

// The canvas as an uncompressed 8-bit Windows bitmap file: a 256-entry palette
// holding the picture's colours in ascending order, rows bottom-up, each padded
// to four bytes. Throws when the picture has more than 256 colours.
std::vector<std::uint8_t> encodeIndexedBmp(const Canvas& canvas);

}  // namespace tramvek::pictures
