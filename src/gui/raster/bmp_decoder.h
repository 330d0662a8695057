#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gui/raster/pixel_buffer.h"

namespace tramvek {

// Decodes a Windows bitmap file (uncompressed, 1, 4, 8, 24 or 32 bits per pixel,
// bottom-up or top-down). Malformed or truncated input gives nothing.
std::optional<PixelBuffer> decodeBmp(std::span<const uint8_t> file);

}  // namespace tramvek
