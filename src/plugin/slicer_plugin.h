// The class the entry point instantiates: the slicer engine under the
// plug-in's own unique identifier.
#pragma once

#include "engine/slicer_effect.h"

namespace tramvek {

// Where the build has a window back end (TRAMVEK_WITH_EDITOR) the plug-in
// creates its editor; elsewhere it declares none.
class SlicerPlugin : public SlicerEffect {
  public:
    explicit SlicerPlugin(AudioMasterCallback audioMaster);
    // The editor points into the engine, so it goes while the engine still exists.
    ~SlicerPlugin() override;

    void setParameter(VstInt32 index, float value) override;

    // False when this instance could not create the editor its build declares;
    // other instances are not affected.
    bool editorReady() const { return editorReady_; }

  private:
    bool editorReady_ = true;
};

}  // namespace tramvek
