#pragma once

#include <string>

#include "canvas.h"

namespace tramvek::pictures {

struct FontFiles {
    std::string regular;
    std::string bold;
};

// Resource 128: the editor's background, 590 x 331.
Canvas drawBackground(const FontFiles& fonts);

// Resource 133: the help screen, 580 x 322, carrying `manual` (see help_layout.h).
Canvas drawHelpScreen(const FontFiles& fonts, const std::string& manual);

}  // namespace tramvek::pictures
