#include <new>

#include "editor/slicer_editor.h"
#include "plugin/editor_factory.h"

namespace tramvek {

bool buildHasEditor() {
    return true;
}

std::unique_ptr<EditorBase> createEditor(EffectBase* owner, SlicerEngine& engine) {
    return std::unique_ptr<EditorBase>(new (std::nothrow) SlicerEditor(owner, engine));
}

}  // namespace tramvek
