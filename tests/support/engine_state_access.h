// White-box tests reach the engine's private state through here: to set up
// states the public calls cannot reach quickly and to check what the voice
// and the clock hold.
#pragma once

#include "engine/slicer_engine.h"
#include "plugin/vst2/slicer_plugin.h"

namespace tramvek {

inline EngineState& stateOf(SlicerEngine& engine) {
    return engineStateForTests(engine);
}

inline EngineState& stateOf(SlicerPlugin& plugin) {
    return engineStateForTests(plugin.engine());
}

}  // namespace tramvek
