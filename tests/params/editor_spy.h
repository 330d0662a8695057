// An editor that counts the engine's update requests, and the panel-redraw
// flag a real editor registers. The effect owns and deletes the editor.
#pragma once

#include <atomic>
#include <memory>

#include "engine/slicer_effect.h"
#include "host/editor_base.h"

namespace tramvek::testing {

class EditorSpy : public EditorBase {
  public:
    explicit EditorSpy(SlicerEffect* effect, int* postUpdates)
        : EditorBase(effect), postUpdates_(postUpdates) {}
    void postUpdate() override { ++*postUpdates_; }

  private:
    int* postUpdates_;
};

// Attaches a spy editor and the panel flag to an effect for one test.
struct EditorWatch {
    explicit EditorWatch(SlicerEffect& effect) {
        effect.setEditor(std::make_unique<EditorSpy>(&effect, &postUpdates));
        effect.panelRedrawFlag = &panelRedraw;
    }
    int postUpdates = 0;
    std::atomic<bool> panelRedraw{false};
};

}  // namespace tramvek::testing
