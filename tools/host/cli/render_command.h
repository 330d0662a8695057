// `render`: stream audio (a file or the demo loop) through a plug-in block by
// block, as a host's transport would play it, and write 32-bit float WAV.
#pragma once

#include "cli/render_options.h"

namespace tramvek {

void runRender(const RenderOptions& options);

}  // namespace tramvek
