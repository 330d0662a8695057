// Stands in for an editor: counts the engine's full-update requests and the
// panel redraws it asks for, while attached to one test's engine.
#pragma once

#include <atomic>

#include "support/engine_state_access.h"

namespace tramvek::testing {

struct EditorWatch : SlicerEngine::Listener {
    explicit EditorWatch(SlicerPlugin& effect) : engine(effect.engine()) { engine.setListener(this); }
    ~EditorWatch() { engine.forgetListener(this); }
    EditorWatch(const EditorWatch&) = delete;
    EditorWatch& operator=(const EditorWatch&) = delete;

    void engineValuesChanged(bool withUpdate) override {
        if (withUpdate) {
            ++postUpdates;
        }
        panelRedraw = true;
    }

    SlicerEngine& engine;
    int postUpdates = 0;
    std::atomic<bool> panelRedraw{false};
};

}  // namespace tramvek::testing
