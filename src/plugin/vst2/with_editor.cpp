#include <new>

#include "plugin/vst2/editor_factory.h"
#include "plugin/vst2/vst2_editor.h"

namespace tramvek {

bool buildHasEditor() {
    return true;
}

std::unique_ptr<EditorBase> createEditor(ExtendedEffectBase& owner, SlicerEngine& engine) {
    return std::unique_ptr<EditorBase>(new (std::nothrow) Vst2Editor(owner, engine));
}

}  // namespace tramvek
