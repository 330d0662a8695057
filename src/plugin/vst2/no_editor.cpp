#include "host/editor_base.h"
#include "plugin/vst2/editor_factory.h"

namespace tramvek {

bool buildHasEditor() {
    return false;
}

std::unique_ptr<EditorBase> createEditor(ExtendedEffectBase&, SlicerEngine&) {
    return nullptr;
}

}  // namespace tramvek
