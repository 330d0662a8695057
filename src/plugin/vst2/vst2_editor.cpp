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
    : EditorBase(&owner), owner_(owner), engine_(engine), editor_(*this) {
    const Rect size = editor_.bounds();
    editorRect = ERect{static_cast<int16_t>(size.top), static_cast<int16_t>(size.left),
                       static_cast<int16_t>(size.bottom), static_cast<int16_t>(size.right)};
    engine_.setListener(this);
}

Vst2Editor::~Vst2Editor() {
    engine_.forgetListener(this);
}

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

// The engine has the value before the host hears of it, so that the host reads back what it heard.
void Vst2Editor::performEdit(std::int32_t index, float value) {
    engine_.post({EngineCommand::Kind::kSetParameter, index, 0, value}, CommandSource::kEditor);
    owner_.hostAutomate(index, engine_.parameter(index));
}

void Vst2Editor::endEdit(std::int32_t index) {
    owner_.hostEndEdit(index);
}

void Vst2Editor::send(const EngineCommand& command) {
    engine_.post(command, CommandSource::kEditor);
}

const EngineView& Vst2Editor::view() {
    return engine_.latestView();
}

bool Vst2Editor::freezeAudio(const float* left, const float* right, std::int32_t samples) {
    return engine_.loadFrozenAudio(left, right, samples);
}

void Vst2Editor::hostIdle() {
    owner_.hostIdle();
}

void Vst2Editor::engineValuesChanged(bool hostShouldRefresh) {
    editor_.engineValuesChanged(hostShouldRefresh);
}

}  // namespace tramvek
