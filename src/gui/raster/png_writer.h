#pragma once

#include <string>

#include "gui/raster/pixel_buffer.h"

namespace tramvek {

// Writes the pixels as an 8-bit RGB PNG file; false if the file cannot be written.
bool writePng(const PixelBuffer& pixels, const std::string& path);

}  // namespace tramvek
