// The class the entry point instantiates: the slicer engine under the
// plug-in's own unique identifier.
#pragma once

#include <atomic>

#include "engine/slicer_effect.h"

namespace tramvek {

// Set when a SlicerPlugin could not create its editor; never cleared, so every
// later entry call in this process answers null as well.
extern std::atomic<bool> editorAllocationFailed;

class SlicerPlugin : public SlicerEffect {
  public:
    explicit SlicerPlugin(AudioMasterCallback audioMaster);
};

}  // namespace tramvek
