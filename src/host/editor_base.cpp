#include "host/editor_base.h"

namespace tramvek {

EditorBase::EditorBase(EffectBase* owner) : effect(owner) {}

EditorBase::~EditorBase() = default;

VstInt32 EditorBase::getRect(ERect** out) {
    *out = nullptr;
    return 0;
}

VstInt32 EditorBase::open(void* parent) {
    parentWindow = parent;
    return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
    if (updatePending.exchange(false)) {
        update();
    }
}

void EditorBase::update() {}
void EditorBase::postUpdate() {
    updatePending = true;
}
VstInt32 EditorBase::keyDown(VstKeyCode&) {
    return -1;
}
VstInt32 EditorBase::keyUp(VstKeyCode&) {
    return -1;
}
VstInt32 EditorBase::setKnobMode(VstInt32) {
    return 0;
}
bool EditorBase::wheel(float) {
    return false;
}

}  // namespace tramvek
