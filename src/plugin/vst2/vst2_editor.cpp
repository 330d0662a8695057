#include "plugin/vst2/vst2_editor.h"

#include "gui/key_code.h"
#include "host/extended_effect_base.h"

namespace tramvek {

namespace {

KeyCode toolkitKey(const VstKeyCode& key) {
    return KeyCode{key.character, key.virt, key.modifier};
}

}  // namespace

Vst2Editor::Vst2Editor(ExtendedEffectBase& owner, SlicerEngine& engine)
    : EditorBase(&owner), owner_(owner), engine_(engine), editor_(*this, engine) {
    const Rect size = editor_.bounds();
    editorRect = ERect{static_cast<int16_t>(size.top), static_cast<int16_t>(size.left),
                       static_cast<int16_t>(size.bottom), static_cast<int16_t>(size.right)};
}

Vst2Editor::~Vst2Editor() = default;

VstInt32 Vst2Editor::getRect(ERect** out) {
    *out = &editorRect;
    return 1;
}

VstInt32 Vst2Editor::open(void* parent) {
    EditorBase::open(parent);
    return editor_.open(parent) ? 1 : 0;
}

void Vst2Editor::close() {
    editor_.close();
}

void Vst2Editor::idle() {
    editor_.idle();
}

VstInt32 Vst2Editor::keyDown(VstKeyCode& key) {
    return editor_.keyDown(toolkitKey(key));
}

VstInt32 Vst2Editor::keyUp(VstKeyCode& key) {
    return editor_.keyUp(toolkitKey(key));
}

// Any knob mode is taken; the knobs drag the same in all of them.
VstInt32 Vst2Editor::setKnobMode(VstInt32) {
    return 1;
}

bool Vst2Editor::wheel(float distance) {
    return editor_.wheel(distance);
}

void Vst2Editor::beginEdit(std::int32_t index) {
    owner_.hostBeginEdit(index);
}

// The engine takes the value as from any editor; only the host's report is new.
void Vst2Editor::performEdit(std::int32_t index, float value) {
    engine_.setParameter(index, value);
    owner_.hostAutomate(index, value);
}

void Vst2Editor::endEdit(std::int32_t index) {
    owner_.hostEndEdit(index);
}

void Vst2Editor::hostIdle() {
    owner_.hostIdle();
}

}  // namespace tramvek
