#include "host/editor_base.h"
#include "plugin/editor_factory.h"

namespace tramvek {

bool buildHasEditor() {
    return false;
}

std::unique_ptr<EditorBase> createEditor(EffectBase*, SlicerEngine&) {
    return nullptr;
}

}  // namespace tramvek
