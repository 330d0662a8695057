#include "plugin/slicer_plugin.h"

#include "host/plugin_identity.h"

namespace tramvek {

std::atomic<bool> editorAllocationFailed{false};

SlicerPlugin::SlicerPlugin(AudioMasterCallback audioMaster) : SlicerEffect(audioMaster) {
    setUniqueId(kSlicerUniqueId);
}

}  // namespace tramvek
