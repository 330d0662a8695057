// The editor as VST 2 hosts see it: answers the editor opcodes by relaying
// them to the portable editor it owns, and is that editor's host: each
// parameter edit becomes the begin / automate / end requests hosts record and
// a command for the engine, other edits commands, and the editor draws the
// view the engine published. It hears the engine's changes for the editor.
#pragma once

#include <cstdint>

#include "editor/editor_host.h"
#include "editor/slicer_editor.h"
#include "engine/slicer_engine.h"
#include "host/editor_base.h"

namespace tramvek {

class ExtendedEffectBase;

class Vst2Editor : public EditorBase, private EditorHost, private SlicerEngine::Listener {
  public:
    // `owner` is the plug-in the host knows, `engine` the one it owns.
    Vst2Editor(ExtendedEffectBase& owner, SlicerEngine& engine);
    ~Vst2Editor() override;

    VstInt32 getRect(ERect** out) override;
    VstInt32 open(void* parent) override;
    void close() override;
    void idle() override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(VstInt32 mode) override;
    bool wheel(float distance) override;

    SlicerEditor& editor() { return editor_; }

  private:
    void beginEdit(std::int32_t index) override;
    void performEdit(std::int32_t index, float value) override;
    void endEdit(std::int32_t index) override;
    void send(const EngineCommand& command) override;
    const EngineView& view() override;
    bool freezeAudio(const float* left, const float* right, std::int32_t samples) override;
    void hostIdle() override;
    void engineValuesChanged(bool hostShouldRefresh) override;

    ExtendedEffectBase& owner_;
    SlicerEngine& engine_;
    SlicerEditor editor_;
};

}  // namespace tramvek
