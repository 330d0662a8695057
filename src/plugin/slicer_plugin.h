// The class the entry point instantiates: the slicer engine under the
// plug-in's own unique identifier.
#pragma once

#include <atomic>

#include "engine/slicer_effect.h"

namespace tramvek {

// Set when a SlicerPlugin could not create its editor; never cleared, so every
// later entry call in this process answers null as well.
extern std::atomic<bool> editorAllocationFailed;

// Where the build has a window back end (TRAMVEK_WITH_EDITOR) the plug-in
// creates its editor; elsewhere it declares none.
class SlicerPlugin : public SlicerEffect {
  public:
    explicit SlicerPlugin(AudioMasterCallback audioMaster);
    // The editor points into the engine, so it goes while the engine still exists.
    ~SlicerPlugin() override;

    void setParameter(VstInt32 index, float value) override;
};

}  // namespace tramvek
