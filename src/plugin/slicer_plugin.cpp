#include "plugin/slicer_plugin.h"

#include "host/editor_base.h"
#include "host/plugin_identity.h"

#if defined(TRAMVEK_WITH_EDITOR)
#include <memory>
#include <new>

#include "editor/slicer_editor.h"
#endif

namespace tramvek {

SlicerPlugin::SlicerPlugin(AudioMasterCallback audioMaster) : SlicerEffect(audioMaster) {
    setUniqueId(kSlicerUniqueId);
#if defined(TRAMVEK_WITH_EDITOR)
    std::unique_ptr<SlicerEditor> created(new (std::nothrow) SlicerEditor(this));
    editorReady_ = created != nullptr;
    setEditor(std::move(created));
#endif
}

SlicerPlugin::~SlicerPlugin() {
    setEditor(nullptr);
}

void SlicerPlugin::setParameter(VstInt32 index, float value) {
    SlicerEffect::setParameter(index, value);
#if defined(TRAMVEK_WITH_EDITOR)
    if (editor != nullptr) {
        static_cast<SlicerEditor*>(editor.get())->parameterChanged(index, value);
    }
#endif
}

}  // namespace tramvek
