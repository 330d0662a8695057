// `render` through an LV2 plug-in (a bundle directory or a URI), driven as
// the VST 2 render drives its plug-in: the same blocks, the transport at each
// block's first frame, MIDI at its frames, parameters as normalised values.
#pragma once

#include "cli/render_stream.h"

namespace tramvek {

// Throws HostError in a build without LV2 hosting.
void renderLv2(const RenderJob& job);

}  // namespace tramvek
