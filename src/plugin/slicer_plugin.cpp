#include "plugin/slicer_plugin.h"

#include "host/editor_base.h"
#include "host/plugin_identity.h"

#if defined(TRAMVEK_WITH_EDITOR)
#include <new>

#include "editor/slicer_editor.h"
#endif

namespace tramvek {

std::atomic<bool> editorAllocationFailed{false};

SlicerPlugin::SlicerPlugin(AudioMasterCallback audioMaster) : SlicerEffect(audioMaster) {
    setUniqueId(kSlicerUniqueId);
#if defined(TRAMVEK_WITH_EDITOR)
    // The editor registers itself as this effect's editor.
    if (new (std::nothrow) SlicerEditor(this) == nullptr) {
        editorAllocationFailed = true;
    }
#endif
}

SlicerPlugin::~SlicerPlugin() {
    delete editor;
}

void SlicerPlugin::setParameter(VstInt32 index, float value) {
    SlicerEffect::setParameter(index, value);
#if defined(TRAMVEK_WITH_EDITOR)
    if (editor != nullptr) {
        static_cast<SlicerEditor*>(editor)->parameterChanged(index, value);
    }
#endif
}

}  // namespace tramvek
